// The POSIX writer; atomic_file_win32.cpp is the Windows one.
#ifndef _WIN32

#include "core/model/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

namespace lumera {
namespace {

constexpr int kTempNameAttempts = 16;
// The temporary name carries at most this much of the target's name, so
// that it stays within the file system's name limit (255 bytes) whatever
// the length of a name that fits itself.
constexpr std::size_t kTempNameStemBytes = 200;

// The start of a file name, cut at a character boundary.
std::string NameStem(const std::string& name) {
  if (name.size() <= kTempNameStemBytes) return name;
  std::size_t cut = kTempNameStemBytes;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
    --cut;
  }
  return name.substr(0, cut);
}

int OpenTempBeside(const std::filesystem::path& path,
                   std::filesystem::path& temp_path) {
  std::random_device random;
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp",
                  static_cast<unsigned>(random()));
    std::string name(1, '.');
    name += NameStem(path.filename().string());
    name += suffix;
    temp_path = path;
    temp_path.replace_filename(name);
    const int fd = ::open(temp_path.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

void SyncFolder(const std::filesystem::path& path) {
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // the rename is done; the folder flush is best effort
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& path,
                                      std::span<const std::uint8_t> bytes) {
  if (!path.has_filename()) return AtomicWriteResult::kCreateFailed;
  // A symbolic link keeps pointing where it did: its target is replaced.
  std::error_code error;
  std::filesystem::path target_path = path;
  if (std::filesystem::is_symlink(path, error)) {
    const std::filesystem::path resolved =
        std::filesystem::weakly_canonical(path, error);
    if (!error && resolved.has_filename()) target_path = resolved;
  }
  struct stat target;
  const bool exists = ::stat(target_path.c_str(), &target) == 0;
  // Replacing must not get round a folder or a write-protected file.
  if (exists &&
      (S_ISDIR(target.st_mode) || ::access(target_path.c_str(), W_OK) != 0)) {
    return AtomicWriteResult::kCreateFailed;
  }
  std::filesystem::path temp_path;
  const int fd = OpenTempBeside(target_path, temp_path);
  if (fd < 0) return AtomicWriteResult::kCreateFailed;

  // The replacement keeps the access rights the user gave the old file.
  bool ok = !exists || ::fchmod(fd, target.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, bytes.data(), bytes.size());
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp_path.c_str(), target_path.c_str()) == 0;
  if (!ok) {
    ::unlink(temp_path.c_str());
    return AtomicWriteResult::kWriteFailed;
  }
  SyncFolder(target_path);
  return AtomicWriteResult::kOk;
}

}  // namespace lumera

#endif  // _WIN32
