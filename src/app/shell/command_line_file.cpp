#include "app/shell/command_line_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace lumera {

std::string JoinCommandLine(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

std::optional<std::string> ProgramFileFromCommandLine(
    std::string_view command_line) {
  if (command_line.empty()) return std::nullopt;
  std::size_t at = command_line.find(".prg");
  if (at == std::string_view::npos) at = command_line.find(".PRG");
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view name = command_line.substr(0, at + 4);
  if (name.front() == '"') name.remove_prefix(1);
  if (name.size() > kProgramFileNameMax) return std::nullopt;
  return std::string(name);
}

bool ProgramFileReadable(const std::string& path) {
  // A folder opens for reading on POSIX, but it is no program file.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream file(path, std::ios::binary);
  return file.is_open();
}

}  // namespace lumera
