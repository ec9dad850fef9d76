// The commands that look at the line itself rather than run a job of the
// window: the bus scan and the line check. Both hold one port open for all
// their requests and read it byte by byte (core/link/line_probe.h).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "core/link/line_trace.h"
#include "core/link/port_names.h"
#include "core/link/serial_port.h"

namespace lumera {

struct DirectLine {
  std::ostream& out;
  std::ostream& err;
  std::function<std::unique_ptr<SerialPort>()> create = {};
  std::string name = {};  // what the port opens: COM<n>, a path or an address
  PortRoots roots = {};
  LineTraceSink* trace = nullptr;
  bool err_is_terminal = false;
  std::function<bool()> interrupted = {};  // may be empty
};

// lumera-cli scan: present numbers one a line on `out` as before, garbled
// ones with their reason; progress and the summary on `err`.
int RunBusScan(const DirectLine& line, int from, int to,
               std::optional<int> timeout_ms);

// lumera-cli line-check: `count` ReadVersion round trips with `number`,
// their times beside the wire time, and the device behind the port.
int RunLineCheck(const DirectLine& line, int number, int count,
                 std::optional<int> timeout_ms);

}  // namespace lumera
