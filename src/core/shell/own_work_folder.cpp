#include "core/shell/own_work_folder.h"

#include <system_error>

namespace lumera {

std::optional<std::filesystem::path> EnterOwnWorkFolder(
    const std::filesystem::path& home) {
  // A relative home would put the folder wherever the start happened to be.
  if (home.empty() || !home.is_absolute()) return std::nullopt;
  const std::filesystem::path folder = home / kOwnFolderName;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return std::nullopt;
  std::filesystem::current_path(folder, error);
  if (error) return std::nullopt;
  return folder;
}

}  // namespace lumera
