#include "sim/com_link.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace lumera {

namespace {

std::filesystem::path ComPath(const std::filesystem::path& folder, int n) {
  return folder / ("COM" + std::to_string(n));
}

// A symbolic link whose target no longer exists: left by a controller that
// did not end cleanly.
bool IsDanglingLink(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(
          std::filesystem::symlink_status(path, error)))
    return false;
  return !std::filesystem::exists(path, error) && !error;
}

enum class LinkResult { kLinked, kTaken, kFailed };

LinkResult TryLink(const std::filesystem::path& path,
                   const std::string& device) {
  if (::symlink(device.c_str(), path.c_str()) == 0) return LinkResult::kLinked;
  if (errno != EEXIST) return LinkResult::kFailed;
  if (!IsDanglingLink(path)) return LinkResult::kTaken;
  std::error_code error;
  std::filesystem::remove(path, error);
  if (::symlink(device.c_str(), path.c_str()) == 0) return LinkResult::kLinked;
  return errno == EEXIST ? LinkResult::kTaken : LinkResult::kFailed;
}

}  // namespace

std::optional<int> RegisterComLink(const std::filesystem::path& folder,
                                   const std::string& device,
                                   std::optional<int> wanted) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return std::nullopt;
  if (wanted) {
    if (*wanted < 1 || *wanted > kMaxComNumber) return std::nullopt;
    if (TryLink(ComPath(folder, *wanted), device) == LinkResult::kLinked) {
      return wanted;
    }
    return std::nullopt;
  }
  for (int n = kFirstSimComNumber; n <= kMaxComNumber; ++n) {
    const LinkResult result = TryLink(ComPath(folder, n), device);
    if (result == LinkResult::kLinked) return n;
    if (result == LinkResult::kFailed) return std::nullopt;
  }
  return std::nullopt;
}

void RemoveComLink(const std::filesystem::path& folder, int number,
                   const std::string& device) {
  const auto path = ComPath(folder, number);
  std::error_code error;
  const auto target = std::filesystem::read_symlink(path, error);
  if (error || target != device) return;
  std::filesystem::remove(path, error);
}

}  // namespace lumera
