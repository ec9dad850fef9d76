#include "core/link/frames.h"

namespace lumera {

std::uint8_t FrameSum(std::span<const std::uint8_t> bytes) {
  std::uint8_t sum = 0;
  for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
  return sum;
}

bool BuildRequestFrame(std::uint8_t destination, std::uint8_t length_byte,
                       std::span<const std::uint8_t> code_and_payload,
                       RequestFrame& frame, std::uint8_t fixed_byte) {
  frame.length = 0;
  const std::size_t body = length_byte > 0 ? length_byte - 1u : 0u;
  if (length_byte < 2 || length_byte + 4u > kMaxRequestFrameSize ||
      code_and_payload.size() < body) {
    return false;
  }
  frame.bytes[0] = kRequestStartByte;
  frame.bytes[1] = fixed_byte;
  frame.bytes[2] = destination;
  frame.bytes[3] = length_byte;
  for (std::size_t i = 0; i < body; ++i)
    frame.bytes[4 + i] = code_and_payload[i];
  const std::size_t sum_at = 4 + body;
  frame.bytes[sum_at] = FrameSum({frame.bytes.data(), sum_at});
  frame.length = static_cast<int>(sum_at + 1);
  return true;
}

int WriteFrame(SerialPort& port, std::span<const std::uint8_t> frame,
               const RadioSettings& radio, RadioResetMarks& marks) {
  if (frame.empty()) return kEmptyFrame;
  if (!radio.enabled) {
    const int written = port.Write(frame);
    return written < 0 ? kFrameWriteFailed : written;
  }
  RadioEnvelope envelope;
  if (!BuildRadioEnvelope(frame, radio, marks, envelope)) {
    return kFrameWriteFailed;
  }
  return port.Write(envelope.View()) == envelope.length
             ? static_cast<int>(frame.size())
             : kFrameWriteFailed;
}

int ReadDirectReply(SerialPort& port, ReplyBuffer& reply) {
  bool frame_complete = false;
  return ReadDirectReply(port, reply, frame_complete);
}

int ReadDirectReply(SerialPort& port, ReplyBuffer& reply,
                    bool& frame_complete) {
  frame_complete = false;
  enum class State { kHunting, kHeader1, kHeader2, kLength, kCode, kData };
  State state = State::kHunting;
  int count = 0;
  int length = 0;
  int index = 0;
  for (;;) {
    const ReadResult r = port.ReadByte();
    if (r.status == ReadStatus::kFailed) return kReplyReadFailed;
    if (r.status == ReadStatus::kTimeout) return count;
    ++count;
    const std::uint8_t b = r.byte;
    switch (state) {
      case State::kHunting:
        if (b == kRequestStartByte || b == kReplyStartByteAlt) {
          reply[0] = b;
          state = State::kHeader1;
        }
        break;
      case State::kHeader1:
        reply[1] = b;
        state = State::kHeader2;
        break;
      case State::kHeader2:
        reply[2] = b;
        state = State::kLength;
        break;
      case State::kLength:
        reply[3] = b;
        length = b;
        state = length == 0 ? State::kHunting : State::kCode;
        break;
      case State::kCode:
        reply[4] = b;
        index = 0;
        // With L = 1 the code byte is the last byte of the frame; waiting
        // for data here would run past the frame and the buffer.
        if (length == 1) {
          frame_complete = true;
          return count;
        }
        state = State::kData;
        break;
      case State::kData:
        // L <= 255, so 5 + index stays below 259 < kReplyBufferSize.
        reply[5 + index] = b;
        ++index;
        if (index >= length - 1) {
          frame_complete = true;
          return count;
        }
        break;
    }
    if (count >= kReplyReadLimit) return count;
  }
}

int ReadReply(SerialPort& port, const RadioSettings& radio, ReplyBuffer& reply,
              int expected, const std::atomic<bool>& abort_requested) {
  bool frame_complete = false;
  return ReadReply(port, radio, reply, expected, abort_requested,
                   frame_complete);
}

int ReadReply(SerialPort& port, const RadioSettings& radio, ReplyBuffer& reply,
              int expected, const std::atomic<bool>& abort_requested,
              bool& frame_complete) {
  if (radio.enabled) {
    const int count = ReadRadioReply(port, reply, expected, abort_requested);
    frame_complete = count == expected;
    return count;
  }
  return ReadDirectReply(port, reply, frame_complete);
}

ReplyCheck CheckReply(const ReplyBuffer& reply, int count, int expected) {
  if (expected < 1 || expected > static_cast<int>(reply.size()) ||
      count != expected) {
    return ReplyCheck::kTooShort;
  }
  const std::size_t last = static_cast<std::size_t>(expected - 1);
  if (FrameSum({reply.data(), last}) != reply[last]) {
    return ReplyCheck::kBadChecksum;
  }
  return ReplyCheck::kAccepted;
}

ReplyCheck CheckReadReply(const ReplyBuffer& reply, int count, int expected,
                          bool frame_complete) {
  if (!frame_complete || reply[3] + 4 != count) return ReplyCheck::kTooShort;
  return CheckReply(reply, count, expected);
}

std::string_view ReplyCheckText(ReplyCheck check) {
  switch (check) {
    case ReplyCheck::kAccepted:
      return {};
    case ReplyCheck::kTooShort:
      return kReplyTooShortText;
    case ReplyCheck::kBadChecksum:
      return kReplyChecksumText;
  }
  return {};
}

}  // namespace lumera
