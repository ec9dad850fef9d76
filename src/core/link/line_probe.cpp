#include "core/link/line_probe.h"

#include <algorithm>
#include <array>

#include "core/link/frames.h"
#include "core/link/operations.h"

namespace lumera {
namespace {

using Clock = std::chrono::steady_clock;

bool IsStartByte(std::uint8_t byte) {
  return byte == kRequestStartByte || byte == kReplyStartByteAlt;
}

// The length of the frame `bytes` opens, once its length byte is in.
std::size_t AnnouncedLength(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 4 || !IsStartByte(bytes[0]) || bytes[3] == 0) return 0;
  return std::size_t{bytes[3]} + 4;
}

std::chrono::microseconds Since(Clock::time_point start, Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::microseconds>(t - start);
}

}  // namespace

ProbeResult ClassifyVersionReply(std::span<const std::uint8_t> bytes) {
  ProbeResult result;
  if (bytes.empty()) return result;
  result.outcome = ProbeOutcome::kGarbled;
  result.reason = GarbleReason::kNoFrame;
  if (bytes.size() != kVersionReplySize ||
      AnnouncedLength(bytes) != kVersionReplySize ||
      (bytes[4] & 0x7F) !=
          static_cast<std::uint8_t>(RequestCode::kReadVersion)) {
    return result;
  }
  if (FrameSum(bytes.first(kVersionReplySize - 1)) != bytes.back()) {
    result.reason = GarbleReason::kChecksum;
    return result;
  }
  result.outcome = ProbeOutcome::kPresent;
  result.reason = GarbleReason::kNone;
  result.version = bytes[5];
  return result;
}

LineRead ReadLineBurst(SerialPort& port, std::chrono::milliseconds wait) {
  LineRead read;
  const auto set_wait = [&port](std::chrono::milliseconds ms) {
    SerialTiming timing;
    timing.read_constant_ms = static_cast<std::uint32_t>(ms.count());
    return port.SetTimeouts(timing);
  };
  if (!set_wait(wait)) {
    read.failed = true;
    return read;
  }
  const Clock::time_point deadline = Clock::now() + wait + kNeverQuiet;
  std::size_t announced = 0;
  for (;;) {
    const ReadResult r = port.ReadByte();
    if (r.status == ReadStatus::kFailed) {
      read.failed = true;
      return read;
    }
    if (r.status == ReadStatus::kTimeout) return read;
    read.last = Clock::now();
    if (read.total == 0) read.first = read.last;
    ++read.total;
    if (read.count < read.bytes.size()) read.bytes[read.count++] = r.byte;
    // More than is kept makes no reply; a line that keeps talking is not
    // heard out here.
    if (read.total > read.bytes.size() || read.last >= deadline) {
      read.cut_short = true;
      return read;
    }
    if (announced == 0) announced = AnnouncedLength(read.View());
    // A whole frame ends the read once the line stays quiet a moment
    // after it: bytes right behind it (a second reply, a long frame) make
    // the burst no reply, and must not be left for the next number. Other
    // bursts end when the line falls quiet for the whole wait.
    bool ok = true;
    if (announced != 0 && read.total == announced) {
      ok = set_wait(kFrameTailQuiet);
    } else if (announced != 0 && read.total == announced + 1) {
      ok = set_wait(wait);
    }
    if (!ok) {
      read.failed = true;
      return read;
    }
  }
}

Settled SettleLine(SerialPort& port, std::chrono::milliseconds quiet) {
  Settled settled;
  SerialTiming timing;
  timing.read_constant_ms = static_cast<std::uint32_t>(quiet.count());
  const Clock::time_point deadline = Clock::now() + quiet + kNeverQuiet;
  // A port that cannot even be set up fails the next request instead.
  settled.quiet = !port.SetTimeouts(timing);
  while (!settled.quiet &&
         settled.dropped < static_cast<std::size_t>(kReplyReadLimit) &&
         Clock::now() < deadline) {
    if (port.ReadByte().status != ReadStatus::kByte) {
      settled.quiet = true;
    } else {
      ++settled.dropped;
    }
  }
  port.Purge();
  return settled;
}

ProbeResult ProbeVersion(SerialPort& port, std::uint8_t number,
                         std::chrono::milliseconds wait) {
  ProbeResult result;
  const std::array<std::uint8_t, 1> code{
      static_cast<std::uint8_t>(RequestCode::kReadVersion)};
  RequestFrame frame;
  BuildRequestFrame(number, 2, code, frame);
  // Timed from before the write: the controller may answer while this
  // thread is still on its way back from the port.
  const Clock::time_point sent = Clock::now();
  if (port.Write(frame.View()) != frame.length) {
    result.outcome = ProbeOutcome::kLineFailed;
    return result;
  }
  const LineRead read = ReadLineBurst(port, wait);
  if (read.failed) {
    result.outcome = ProbeOutcome::kLineFailed;
    return result;
  }
  result = ClassifyVersionReply(read.View());
  result.cut_short = read.cut_short;
  // Bytes beyond what was kept make no reply either.
  if (read.total > read.count) {
    result.outcome = ProbeOutcome::kGarbled;
    result.reason = GarbleReason::kNoFrame;
  }
  if (read.total > 0) {
    result.first_byte = Since(sent, read.first);
    result.round_trip = Since(sent, read.last);
  }
  return result;
}

std::chrono::microseconds WireTime(std::size_t bytes, int baud) {
  if (baud <= 0) return std::chrono::microseconds{0};
  return std::chrono::microseconds{static_cast<std::int64_t>(bytes) * 10 *
                                   1000000 / baud};
}

bool OpenDirectLine(SerialPort& port, std::string_view name) {
  return port.Open(name) &&
         port.SetBuffers(kDriverBufferSize, kDriverBufferSize) &&
         port.SetLine(LineSettings{}) && port.SetTimeouts(SerialTiming{}) &&
         (port.Purge(), true);
}

std::string ProbeFailureText(const ProbeResult& result) {
  switch (result.outcome) {
    case ProbeOutcome::kAbsent:
      return std::string(kReplyTooShortText) + " (brak odpowiedzi)";
    case ProbeOutcome::kGarbled:
      return result.reason == GarbleReason::kChecksum
                 ? std::string(kReplyChecksumText)
                 : std::string(kReplyTooShortText) +
                       " (bajty, które nie tworzą ramki)";
    case ProbeOutcome::kLineFailed:
    case ProbeOutcome::kPresent:
      break;
  }
  return {};
}

}  // namespace lumera
