#include "sim/request_reader.h"

#include <algorithm>

namespace lumera {

namespace {

constexpr std::size_t kFrameHeaderSize = 4;  // start, 0xFF, destination, L
constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
// The four framing bytes 10 02 ... 10 03 belong to the envelope's sum.
constexpr std::uint8_t kFramingSum = kDle + kStx + kDle + kEtx;

}  // namespace

std::optional<SimRequest> ParseRequestFrame(
    std::span<const std::uint8_t> frame) {
  if (frame.size() < kFrameHeaderSize + 2 ||
      frame.size() > kMaxRequestFrameSize) {
    return std::nullopt;
  }
  if (frame[0] != kRequestStartByte) return std::nullopt;
  if (frame[3] + kFrameHeaderSize != frame.size()) return std::nullopt;
  if (FrameSum(frame.first(frame.size() - 1)) != frame.back()) {
    return std::nullopt;
  }
  SimRequest request;
  request.destination = frame[2];
  request.code = frame[4];
  request.payload_size = frame.size() - kFrameHeaderSize - 2;
  std::copy_n(frame.begin() + 5, request.payload_size,
              request.payload_bytes.begin());
  return request;
}

std::optional<SimRequest> DirectRequestReader::Push(std::uint8_t byte) {
  switch (state_) {
    case State::kHunting:
      if (byte == kRequestStartByte) {
        frame_.bytes[0] = byte;
        frame_.length = 1;
        state_ = State::kHeader;
      }
      return std::nullopt;
    case State::kHeader:
      frame_.bytes[static_cast<std::size_t>(frame_.length++)] = byte;
      if (frame_.length == kFrameHeaderSize) {
        // A length no request can have: the start byte was noise.
        if (byte < 2 || byte + kFrameHeaderSize > kMaxRequestFrameSize) {
          state_ = State::kHunting;
        } else {
          state_ = State::kBody;
        }
      }
      return std::nullopt;
    case State::kBody:
      frame_.bytes[static_cast<std::size_t>(frame_.length++)] = byte;
      if (static_cast<std::size_t>(frame_.length) ==
          frame_.bytes[3] + kFrameHeaderSize) {
        state_ = State::kHunting;
        return ParseRequestFrame(frame_.View());
      }
      return std::nullopt;
  }
  return std::nullopt;
}

bool RadioEnvelopeReader::Push(std::uint8_t byte) {
  switch (state_) {
    case State::kHunting:
      block_size_ = 0;
      sum_ = 0;
      if (byte == kDle) state_ = State::kOpened;
      return false;
    case State::kOpened:
      state_ = byte == kStx ? State::kBody : State::kHunting;
      return false;
    case State::kBody:
      if (byte == kDle) {
        state_ = State::kEscape;
        return false;
      }
      break;
    case State::kEscape:
      if (byte == kEtx) {
        state_ = State::kCheck;
        return false;
      }
      if (byte != kDle) {
        state_ = State::kHunting;
        return false;
      }
      // A doubled 0x10 stands for one and counts twice in the sum.
      sum_ = static_cast<std::uint8_t>(sum_ + kDle);
      state_ = State::kBody;
      break;
    case State::kCheck:
      state_ = State::kHunting;
      return static_cast<std::uint8_t>(sum_ + kFramingSum) == byte;
  }
  if (block_size_ == block_.size()) {
    state_ = State::kHunting;
    return false;
  }
  block_[block_size_++] = byte;
  sum_ = static_cast<std::uint8_t>(sum_ + byte);
  return false;
}

}  // namespace lumera
