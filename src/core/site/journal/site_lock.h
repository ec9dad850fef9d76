// One run per site at a time: a lock on FILE.lock beside the site file. The
// lock is the system's (flock; on Windows a file opened for no one else),
// so it ends with the process that holds it, however that process ends; the
// file itself stays, and says who holds it while one does.
#pragma once

#include <filesystem>
#include <string>

namespace lumera {

std::filesystem::path LockPathFor(const std::filesystem::path& site_file);

class SiteLock {
 public:
  enum class Result { kTaken, kHeld, kFailed };

  SiteLock() = default;
  ~SiteLock();
  SiteLock(const SiteLock&) = delete;
  SiteLock& operator=(const SiteLock&) = delete;

  // Takes the lock of `site_file` without waiting. kHeld: another run
  // holds it (holder() says who, when it can be read); kFailed: the lock
  // file cannot be made (error() says why).
  Result Take(const std::filesystem::path& site_file);
  void Release();

  const std::string& holder() const { return holder_; }
  const std::string& error() const { return error_; }

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
  std::string holder_;
  std::string error_;
};

}  // namespace lumera
