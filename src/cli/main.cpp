// lumera-cli: the jobs of the editor's window from a shell.
#include <signal.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/cli_commands.h"

int main(int argc, char** argv) {
  // Ctrl-C aborts a running job like "Przerwij", so the port is closed and
  // the status text says so. The signals stay blocked (also for the worker
  // thread, which inherits the mask) and are taken when polled.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  const bool blocked = sigprocmask(SIG_BLOCK, &stop_signals, nullptr) == 0;

  std::vector<std::string_view> args(argv + 1, argv + argc);
  std::error_code error;
  lumera::CliEnvironment env{std::cout,
                             std::cerr,
                             isatty(STDERR_FILENO) == 1,
                             std::filesystem::current_path(error),
                             lumera::DefaultPortRoots(),
                             nullptr,
                             nullptr};
  if (blocked) {
    env.interrupted = [stop_signals]() {
      const timespec no_wait{0, 0};
      return sigtimedwait(&stop_signals, nullptr, &no_wait) > 0;
    };
  }
  return lumera::RunCli(args, env);
}
