// The line trace: every frame a job writes and every reply or stray byte it
// reads, told to an optional sink as it happens. With no sink the worker
// does nothing extra but test one pointer per frame.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace lumera {

enum class TraceDirection : char {
  kWritten = '>',  // a request frame (as sent, radio envelope included)
  kReply = '<',    // the bytes of a reply frame
  kJunk = '?',     // bytes read that make no reply (noise, a broken reply)
};

struct TraceRecord {
  std::chrono::microseconds since_start{0};  // since the job opened the port
  TraceDirection direction = TraceDirection::kWritten;
  std::uint8_t request_code = 0;  // the request the bytes belong to
  std::span<const std::uint8_t> bytes;
  std::size_t dropped = 0;  // bytes read beyond what the trace keeps
};

// Called on the worker thread only, once a record, while the job runs. The
// record's bytes are valid during the call.
class LineTraceSink {
 public:
  virtual ~LineTraceSink() = default;
  virtual void Record(const TraceRecord& record) = 0;
};

// Most bytes one record keeps of a read; more are counted as dropped.
inline constexpr std::size_t kTraceReadCapacity = 1024;

// One line of text for a record, without allocating:
//   "   0.012345 > ReadVersion        88 FF 01 02 5D E0"
// seconds since the job started, the direction, the request's name (its
// code in decimal outside the catalogue) and the bytes in hex; a read cut
// short ends with "(+N)". `text` keeps one character free after `size`.
struct TraceLine {
  std::array<char, 48 + 3 * kTraceReadCapacity + 16> text{};
  std::size_t size = 0;
  std::string_view View() const { return {text.data(), size}; }
};
void FormatTraceLine(const TraceRecord& record, TraceLine& line);

}  // namespace lumera
