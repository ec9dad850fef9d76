// The POSIX writer; atomic_file_win32.cpp is the Windows one.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#include "core/model/atomic_file.h"

namespace lumera {
namespace {

constexpr int kTempNameAttempts = 16;
// The temporary name carries at most this much of the target's name, so
// that it stays within the file system's name limit (255 bytes) whatever
// the length of a name that fits itself.
constexpr std::size_t kTempNameStemBytes = 200;
constexpr std::string_view kTempSuffix = ".tmp";

// The start of a file name, cut at a character boundary.
std::string NameStem(const std::string& name) {
  if (name.size() <= kTempNameStemBytes) return name;
  std::size_t cut = kTempNameStemBytes;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
    --cut;
  }
  return name.substr(0, cut);
}

// FNV-1a of the whole name, for the tag.
unsigned NameHash(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (const char c : name) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  }
  return hash;
}

// ".<stem>.<hash of the name>": how every temporary name of a file begins.
std::string TempNamePrefix(const std::string& name) {
  char hash[16];
  std::snprintf(hash, sizeof hash, ".%08x", NameHash(name));
  std::string prefix(1, '.');
  prefix += NameStem(name);
  prefix += hash;
  return prefix;
}

// A write killed between creating its temporary file and renaming it
// leaves the file behind; the next write of the same name takes it away.
void RemoveLeftovers(const std::filesystem::path& target) {
  const std::string prefix = TempNamePrefix(target.filename().string());
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end;
       !error && it != end; it.increment(error)) {
    const std::string entry = it->path().filename().string();
    if (entry.size() != prefix.size() + 8 + kTempSuffix.size() ||
        !entry.starts_with(prefix) || !entry.ends_with(kTempSuffix)) {
      continue;
    }
    std::error_code ignored;
    if (it->symlink_status(ignored).type() ==
        std::filesystem::file_type::regular) {
      std::filesystem::remove(it->path(), ignored);
    }
  }
}

int OpenTempBeside(const std::filesystem::path& path,
                   std::filesystem::path& temp_path) {
  std::random_device random;
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    char tag[16];
    std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(random()));
    std::string name = TempNamePrefix(path.filename().string());
    name += tag;
    name += kTempSuffix;
    temp_path = path;
    temp_path.replace_filename(name);
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

std::string SystemErrorText(int error_number) {
  return std::generic_category().message(error_number);
}

bool StagedFile::Stage(const std::filesystem::path& path,
                       std::span<const std::uint8_t> bytes,
                       FileWriteError& error) {
  Discard();
  created_ = false;
  name_ = path;
  error.file = path;
  const auto fail = [&](int error_number) {
    error.reason = SystemErrorText(error_number);
    Discard();
    return false;
  };
  if (!path.has_filename()) return fail(EISDIR);
  std::error_code link_error;
  target_ = path;
  if (std::filesystem::is_symlink(path, link_error)) {
    const std::filesystem::path resolved =
        std::filesystem::weakly_canonical(path, link_error);
    if (!link_error && resolved.has_filename()) target_ = resolved;
  }
  struct stat target;
  const bool exists = ::stat(target_.c_str(), &target) == 0;
  // Replacing must not get round a folder or a write-protected file.
  if (exists && S_ISDIR(target.st_mode)) return fail(EISDIR);
  if (exists && ::access(target_.c_str(), W_OK) != 0) return fail(errno);
  RemoveLeftovers(target_);
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
