// The commands of lumera-cli, each the job a button of the window starts.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>

#include "cli/cli_arguments.h"
#include "core/link/port_names.h"
#include "core/link/serial_port.h"

namespace lumera {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitDiffer = 3;  // diff: the programs differ
// check: 1 when it found something, 2 when the file cannot be read.
inline constexpr int kExitFindings = 1;
inline constexpr int kExitUnreadable = 2;

// What a run of the command line sees of its surroundings.
struct CliEnvironment {
  std::ostream& out;
  std::ostream& err;
  bool err_is_terminal = false;             // draw a progress bar on `err`
  std::filesystem::path working_directory;  // where Lumera.ini is read
  PortRoots port_roots;
  // Empty: the system's serial port.
  std::function<std::unique_ptr<SerialPort>()> create_port;
  // Polled while a job runs: true aborts it (Ctrl-C). May be empty.
  std::function<bool()> interrupted;
};

// The ports a command opens: the environment's, or else the system's, routed
// through the ports folder on POSIX. Empty on Windows: a job then opens the
// system's port itself.
std::function<std::unique_ptr<SerialPort>()> CommandPorts(
    const CliEnvironment& env);

// Runs one parsed invocation; returns the exit status.
int RunCliCommand(const CliInvocation& invocation, CliEnvironment& env);

// Parses `args` (without the program name) and runs the command; a usage
// error prints its reason and where the help is, and gives kExitUsage.
int RunCli(std::span<const std::string_view> args, CliEnvironment& env);

}  // namespace lumera
