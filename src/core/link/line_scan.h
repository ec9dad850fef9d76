// The bus scan: which numbers of a direct line answer ReadVersion. A silent
// number costs only a short wait that follows the line (the frames' time on
// the wire, the 20 ms a controller may take to start its reply, and the
// delay the line itself has shown); a reply that comes later than that is
// still caught, because the line is never purged between numbers: when
// bytes arrive while another number may still owe its reply, the numbers
// concerned are asked again one at a time with the full wait. After the
// last number the line is heard out for the full wait, so the last numbers
// get that chance too. A line that never falls quiet ends the scan.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <optional>

#include "core/link/line_probe.h"
#include "core/link/serial_port.h"

namespace lumera {

// What a controller may take to start its reply.
inline constexpr std::chrono::milliseconds kControllerAnswerTime{20};
// The wait of a number asked again: a reply later than this is none.
inline constexpr std::chrono::milliseconds kScanFullWait{300};

struct ScanSettings {
  int from = 1;
  int to = 254;
  int baud = kLineBaudRate;
  // Set by hand (--timeout-ms): every number waits this long, whatever the
  // line shows.
  std::optional<std::chrono::milliseconds> fixed_wait;
};

struct ScanHooks {
  // Before each number's first ask, with the numbers found so far.
  std::function<void(int number, int present)> asking;
  std::function<bool()> stop;  // polled between numbers
  // After every ask (first or again), e.g. to close a line trace's record.
  std::function<void(const ProbeResult&)> probed;
};

struct ScanReport {
  // Indexed by number; numbers outside the range stay kAbsent.
  std::array<ProbeResult, 256> numbers{};
  int requests = 0;  // ReadVersion frames written, asks again included
  int asked_again = 0;
  bool line_failed = false;  // the port's LastFailure() tells why
  // Bytes kept coming without a pause (a wrong port, a device streaming
  // text): no number can be told apart on such a line.
  bool line_noisy = false;
  bool stopped = false;
  int last_number = 0;  // the last number asked before an early end
  std::chrono::milliseconds wait{0};  // the short wait at the end
};

// The short wait of a line whose replies came `line_delay` later than
// their bytes' time on the wire.
std::chrono::milliseconds ScanWait(int baud,
                                   std::chrono::microseconds line_delay);

// Scans `settings.from` to `settings.to` on `port`, opened as a direct line.
ScanReport ScanLine(SerialPort& port, const ScanSettings& settings,
                    const ScanHooks& hooks = {});

}  // namespace lumera
