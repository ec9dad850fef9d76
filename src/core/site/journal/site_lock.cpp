#include "core/site/journal/site_lock.h"

#include <array>
#include <cerrno>
#include <system_error>

#include "core/site/journal/journal_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace lumera {
namespace {

// Who takes the lock, for the message of a run that finds it held.
std::string HolderText() {
#ifdef _WIN32
  const unsigned long pid = ::GetCurrentProcessId();
#else
  const long pid = static_cast<long>(::getpid());
#endif
  return "PID " + std::to_string(pid) + ", " + CurrentUserName() + "@" +
         CurrentHostName();
}

// The first line of what the holder wrote, within reason.
std::string FirstLine(const char* data, std::size_t size) {
  std::string text(data, size);
  const std::size_t end = text.find_first_of("\r\n");
  if (end != std::string::npos) text.resize(end);
  return text;
}

constexpr std::size_t kHolderBytes = 200;

}  // namespace

std::filesystem::path LockPathFor(const std::filesystem::path& site_file) {
  std::filesystem::path path = site_file;
  path += ".lock";
  return path;
}

SiteLock::~SiteLock() { Release(); }

#ifdef _WIN32

SiteLock::Result SiteLock::Take(const std::filesystem::path& site_file) {
  Release();
  const std::filesystem::path path = LockPathFor(site_file);
  // Shared for reading only, so that a second run can say who holds it.
  const HANDLE file =
      ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    if (code != ERROR_SHARING_VIOLATION && code != ERROR_LOCK_VIOLATION) {
      error_ = std::system_category().message(static_cast<int>(code));
      return Result::kFailed;
    }
    const HANDLE other = ::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (other != INVALID_HANDLE_VALUE) {
      std::array<char, kHolderBytes> text{};
      DWORD got = 0;
      if (::ReadFile(other, text.data(), static_cast<DWORD>(text.size()), &got,
                     nullptr)) {
        holder_ = FirstLine(text.data(), got);
      }
      ::CloseHandle(other);
    }
    return Result::kHeld;
  }
  handle_ = file;
  const std::string holder = HolderText() + "\n";
  DWORD wrote = 0;
  ::SetEndOfFile(file);
  ::WriteFile(file, holder.data(), static_cast<DWORD>(holder.size()), &wrote,
              nullptr);
  return Result::kTaken;
}

void SiteLock::Release() {
  if (handle_ == nullptr) return;
  ::SetFilePointer(handle_, 0, nullptr, FILE_BEGIN);
  ::SetEndOfFile(handle_);
  ::CloseHandle(handle_);
  handle_ = nullptr;
}

#else

SiteLock::Result SiteLock::Take(const std::filesystem::path& site_file) {
  Release();
  const std::filesystem::path path = LockPathFor(site_file);
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    error_ = std::generic_category().message(errno);
    return Result::kFailed;
  }
  // flock, not fcntl: a second open in this process conflicts too, and the
  // lock goes with the last descriptor, whatever ends the process.
  int locked;
  do {
    locked = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    const int code = errno;
    if (code == EWOULDBLOCK) {
      std::array<char, kHolderBytes> text{};
      const ssize_t got = ::pread(fd, text.data(), text.size(), 0);
      if (got > 0) holder_ = FirstLine(text.data(), static_cast<size_t>(got));
    } else {
      error_ = std::generic_category().message(code);
    }
    ::close(fd);
    return code == EWOULDBLOCK ? Result::kHeld : Result::kFailed;
  }
  fd_ = fd;
  const std::string holder = HolderText() + "\n";
  // Only a note for a second run: the lock holds without it.
  if (::ftruncate(fd, 0) == 0) {
    const ssize_t wrote = ::pwrite(fd, holder.data(), holder.size(), 0);
    static_cast<void>(wrote);
  }
  return Result::kTaken;
}

void SiteLock::Release() {
  if (fd_ < 0) return;
  // A note left behind is written over by the next holder.
  const int truncated = ::ftruncate(fd_, 0);
  static_cast<void>(truncated);
  ::close(fd_);
  fd_ = -1;
}

#endif

}  // namespace lumera
