// lumera-cli: the jobs of the editor's window from a shell.
#include <unistd.h>

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
                             isatty(STDERR_FILENO) == 1,
                             std::filesystem::current_path(error),
                             lumera::DefaultPortRoots(),
                             nullptr};
  return lumera::RunCli(args, env);
}
