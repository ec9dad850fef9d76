// The command line of lumera-cli parsed into one invocation: which command,
// its arguments, and the options that override Lumera.ini.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumera {

enum class CliCommand {
  kHelp,
  kProgramVersion,  // --version: this program's own version
  kPorts,
  kUpload,
  kDownload,
  kVerify,
  kConfigRead,
  kConfigWrite,
  kDefaults,
  kVersion,
  kHardwareInfo,
  kErrors,
  kRegisters,
  kPosition,
  kNumberRead,
  kNumberWrite,
  kClockRead,
  kClockSet,
  kRestart,
  kStop,
  kResume,
  kStep,
  kRun,
  kStopAt,
  kTempo,
  kStart,
  kRadioReset,
  kScan,
  kList,
  kPrint,
  kDiff,
  kLineCheck,
  kCheck,
};

// Options given on the command line. Unset ones fall back to Lumera.ini, and
// then to the start values.
struct CliOptions {
  std::optional<int> port_number;            // --port N
  std::optional<std::string> port_path;      // --port PATH
  std::optional<int> device;                 // --device N, 1..255
  bool radio = false;                        // --radio
  std::optional<std::array<int, 3>> target;  // --target H,M,L
  bool all = false;                          // --all
  int time_byte = 0;                         // --time N, 0..255
  std::optional<int> timeout_ms;             // --timeout-ms N, else 3000
  bool yes = false;                          // --yes
  bool trace = false;                        // --trace
  std::optional<int> segment;                // --segment N, 1..10
  bool entries_only = false;                 // --entries-only
  std::optional<std::string> pdf;            // print --pdf OUT
  bool program = false;                      // defaults --program
  bool index = false;                        // start --index
  int scan_from = 1;                         // scan --from A
  int scan_to = 254;                         // scan --to B
  int line_check_count = 50;                 // line-check --count N
  bool any_size = false;  // --any-size: send a file of any size
};

struct CliInvocation {
  CliCommand command = CliCommand::kHelp;
  CliOptions options;
  std::string file;  // upload, download, verify, config, list, print, check
  std::string second_file;   // diff A B; empty: diff A against the controller
  std::vector<int> numbers;  // run SEG CMD, stop-at SEG CMD, tempo N, ...
};

// Either an invocation or the reason the command line is not one.
struct CliParseResult {
  std::optional<CliInvocation> invocation;
  std::string error;
};

// `args` without the program name.
CliParseResult ParseCliArguments(std::span<const std::string_view> args);

// The usage text printed by "help" and --help.
std::string_view CliUsage();

}  // namespace lumera
