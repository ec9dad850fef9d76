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

std::optional<std::string> TakeSiteOption(int& argc, char** argv) {
  constexpr std::string_view kOption = "--site";
  std::optional<std::string> site;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == kOption) {
      if (i + 1 < argc) site = argv[++i];
    } else if (argument.starts_with(kOption) &&
               argument[kOption.size()] == '=') {
      site = std::string(argument.substr(kOption.size() + 1));
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  if (site && !site->empty()) {
    std::error_code error;
    const std::filesystem::path absolute =
        std::filesystem::absolute(*site, error);
    if (!error) site = absolute.string();
  }
  return site;
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

std::string AnchorProgramFile(std::string command_line) {
  const std::optional<std::string> name =
      ProgramFileFromCommandLine(command_line);
  if (!name || std::filesystem::path(*name).is_absolute()) return command_line;
  std::error_code error;
  const std::filesystem::path absolute =
      std::filesystem::absolute(*name, error);
  if (error) return command_line;
  const std::size_t at = command_line.front() == '"' ? 1 : 0;
  command_line.replace(at, name->size(), absolute.string());
  return command_line;
}

bool ProgramFileReadable(const std::string& path) {
  // A folder opens for reading on POSIX, but it is no program file.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream file(path, std::ios::binary);
  return file.is_open();
}

}  // namespace lumera
