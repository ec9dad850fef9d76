// lumera-cli: the jobs of the editor's window from a shell.
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include <ctime>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/cli_commands.h"

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  std::error_code error;
  lumera::CliEnvironment env{std::cout,
                             std::cerr,
                             false,
                             std::filesystem::current_path(error),
                             lumera::DefaultPortRoots(),
                             nullptr,
                             nullptr};
#ifdef _WIN32
  // The texts are UTF-8; a console shows them so only when told. Ctrl-C
  // ends the process, and the system closes the port with it. No progress
  // bar: a console draws the escape sequences only in a mode this program
  // does not switch on.
  ::SetConsoleOutputCP(CP_UTF8);
#else
  env.err_is_terminal = isatty(STDERR_FILENO) == 1;
  // Ctrl-C aborts a running job like "Przerwij", so the port is closed and
  // the status text says so; so do a closed terminal or SSH session (SIGHUP)
  // and a polite kill (SIGTERM). The signals stay blocked (also for the
  // worker thread, which inherits the mask) and are taken when polled.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGHUP);
  if (sigprocmask(SIG_BLOCK, &stop_signals, nullptr) == 0) {
    env.interrupted = [stop_signals]() {
      const timespec no_wait{0, 0};
      return sigtimedwait(&stop_signals, nullptr, &no_wait) > 0;
    };
  }
#endif
  return lumera::RunCli(args, env);
}
