// One ReadVersion asked of one controller number on an open direct line,
// with what came back classified and timed: the building block of the bus
// scan and of the line check. The line is read byte by byte, without a
// purge before the request, so a reply that comes late is seen by the next
// probe instead of vanishing.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/link/serial_port.h"

namespace lumera {

inline constexpr std::size_t kVersionRequestSize = 6;  // 88 FF n L code sum
inline constexpr std::size_t kVersionReplySize = 7;    // 88 xx xx L code v sum
// More than any reply a probe expects; the rest of a longer burst is
// counted, not kept.
inline constexpr std::size_t kProbeReadCapacity = 64;

enum class ProbeOutcome {
  kAbsent,   // nothing came
  kPresent,  // a sound ReadVersion reply
  kGarbled,  // bytes came, but no sound reply
  kLineFailed,
};

enum class GarbleReason {
  kNone,
  kChecksum,  // a whole frame with a wrong sum
  kNoFrame,   // bytes that make no frame (noise, collision, cut or long)
};

struct ProbeResult {
  ProbeOutcome outcome = ProbeOutcome::kAbsent;
  GarbleReason reason = GarbleReason::kNone;
  // The read gave up before the line fell quiet (LineRead::cut_short): the
  // rest of what the line brings still comes.
  bool cut_short = false;
  std::uint8_t version = 0;  // present: major in the high nibble
  // From just before the request's write to the first and the last byte.
  std::chrono::microseconds first_byte{0};
  std::chrono::microseconds round_trip{0};
};

// What a burst of bytes read after a ReadVersion request is.
ProbeResult ClassifyVersionReply(std::span<const std::uint8_t> bytes);

// The bytes of one probe's read and when they came.
struct LineRead {
  std::array<std::uint8_t, kProbeReadCapacity> bytes{};
  std::size_t count = 0;  // bytes kept
  std::size_t total = 0;  // bytes seen
  bool failed = false;
  // It stopped at its byte limit or its deadline, not at a pause.
  bool cut_short = false;
  std::chrono::steady_clock::time_point first{};
  std::chrono::steady_clock::time_point last{};
  std::span<const std::uint8_t> View() const { return {bytes.data(), count}; }
};

// How long the line must stay quiet after a whole frame for the frame to
// stand alone.
inline constexpr std::chrono::milliseconds kFrameTailQuiet{2};
// How long, beyond its wait for the first byte, a read of the line may take
// bytes without the pause it waits for: a line that keeps bringing them (a
// wrong port, a device streaming text) is not heard out.
inline constexpr std::chrono::milliseconds kNeverQuiet{1000};

// Reads what the line brings: the first byte within `wait`, then up to a
// whole reply frame followed by kFrameTailQuiet of silence, or anything
// else until the line stays quiet for `wait`; but never more than
// kProbeReadCapacity + 1 bytes nor longer than `wait` + kNeverQuiet (then
// `cut_short`). Sets the port's read time-out as it goes.
LineRead ReadLineBurst(SerialPort& port, std::chrono::milliseconds wait);

struct Settled {
  std::size_t dropped = 0;
  bool quiet = false;  // false: the line never paused for `quiet`
};

// Reads and drops whatever arrives until the line is quiet for `quiet`, at
// most kReplyReadLimit bytes and `quiet` + kNeverQuiet long, then purges:
// the next request starts on a clean line.
Settled SettleLine(SerialPort& port, std::chrono::milliseconds quiet);

// Writes ReadVersion to `number` and reads the answer with `wait` for the
// first byte. A failed write or read gives kLineFailed.
ProbeResult ProbeVersion(SerialPort& port, std::uint8_t number,
                         std::chrono::milliseconds wait);

// Time the bytes of a ReadVersion request and its reply spend on a line of
// `baud` (ten bits a byte).
std::chrono::microseconds WireTime(std::size_t bytes, int baud);

// Opens `name` as every job does (buffers, 38400 8N1, time-outs, purge).
// False with the port's LastFailure() telling why.
bool OpenDirectLine(SerialPort& port, std::string_view name);

// The reason a probe found no controller, as the line check prints it.
std::string ProbeFailureText(const ProbeResult& result);

}  // namespace lumera
