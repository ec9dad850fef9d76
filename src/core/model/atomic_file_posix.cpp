// The POSIX writer; atomic_file_win32.cpp is the Windows one.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <system_error>

#include "core/model/atomic_file.h"
#include "core/model/temp_file_names.h"

namespace lumera {
namespace {

constexpr int kTempNameAttempts = 16;

int OpenTempBeside(const std::filesystem::path& path,
                   std::filesystem::path& temp_path) {
  std::random_device random;
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    temp_path = TempFileName(path, static_cast<unsigned>(random()));
    const int fd = ::open(temp_path.c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// 0, or the error number of the write that failed.
int WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return errno;
    if (written == 0) return ENOSPC;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

}  // namespace

bool StagedFile::StageAtTarget(std::span<const std::uint8_t> bytes,
                               FileWriteError& error) {
  const auto fail = [&](int error_number) {
    error.reason = SystemErrorText(error_number);
    Discard();
    return false;
  };
  struct stat target;
  const bool exists = ::stat(target_.c_str(), &target) == 0;
  // Replacing must not get round a folder or a write-protected file.
  if (exists && S_ISDIR(target.st_mode)) return fail(EISDIR);
  if (exists && ::access(target_.c_str(), W_OK) != 0) return fail(errno);
  RemoveLeftoverTempFiles(target_);
  std::filesystem::path temp_path;
  const int fd = OpenTempBeside(target_, temp_path);
  if (fd < 0) return fail(errno);
  created_ = true;
  temp_ = temp_path;

  // The replacement keeps the access rights the user gave the old file.
  int failure = exists && ::fchmod(fd, target.st_mode & 07777) != 0 ? errno : 0;
  if (failure == 0) failure = WriteAll(fd, bytes.data(), bytes.size());
  if (failure == 0 && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure != 0) return fail(failure);
  return true;
}

bool StagedFile::Commit(FileWriteError& error) {
  error.file = name_;
  if (temp_.empty()) {
    error.reason = SystemErrorText(ENOENT);
    return false;
  }
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    error.reason = SystemErrorText(errno);
    Discard();
    return false;
  }
  temp_.clear();
  return true;
}

void StagedFile::Discard() {
  if (temp_.empty()) return;
  ::unlink(temp_.c_str());
  temp_.clear();
}

void SyncFolder(const std::filesystem::path& path) {
  std::filesystem::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // the rename is done; the folder flush is best effort
  ::fsync(fd);
  ::close(fd);
}

}  // namespace lumera

#endif  // _WIN32
