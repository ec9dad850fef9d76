// The command line of lumera-sim.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_fault.h"

namespace lumera {

struct SimOptions {
  // One controller per number, in the order given. Empty: one controller
  // per state file (numbered by the file), or a single controller 1.
  std::vector<std::uint8_t> numbers;
  bool radio = false;
  std::optional<int> com;                // COM number to register
  std::optional<std::string> device;     // serve this device, not a new pty
  std::vector<std::string> state_files;  // one per controller, in order
  int baud = 0;                          // 0: bytes go out unpaced
  int latency_ms = 0;  // a reply's bytes are held this long, as by an adapter
  bool log = false;    // requests and replies to stderr
  bool help = false;
  // What every controller reports, when given (tests of the pages and of
  // the error report need values other than a fresh controller's).
  std::optional<std::uint8_t> version;  // major in the high nibble
  std::optional<std::uint8_t> switch_byte;
  std::optional<std::uint8_t> flags;
  std::optional<std::uint8_t> output_mask;
  std::optional<std::array<std::uint8_t, 4>> error_report;
  std::optional<std::array<std::uint8_t, 8>> registers;
  // A line fault on the reply to one request (tests of bad lines).
  SimFault fault;
};

struct SimControllerState;

// The options of `args` (without the program name), or nothing with the
// reason in `error`.
std::optional<SimOptions> ParseSimOptions(
    std::span<const std::string_view> args, std::string& error);

std::string_view SimUsageText();

// Puts the reported values given in `options` into `state`.
void ApplyReportedValues(const SimOptions& options, SimControllerState& state);

}  // namespace lumera
