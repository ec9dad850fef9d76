#include "core/model/file_layer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace lumera {
namespace {

// Read-only, binary (Windows would otherwise turn CR LF into LF and stop at
// a Ctrl-Z byte), not inherited by child processes.
int OpenForReading(const std::filesystem::path& path) {
#ifdef _WIN32
  return ::_wopen(path.c_str(), O_RDONLY | O_BINARY | O_NOINHERIT);
#else
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
#endif
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Reads up to `size` bytes; the count read, or -1 on a read error.
ssize_t ReadUpTo(int fd, std::uint8_t* data, std::size_t size) {
  std::size_t total = 0;
  while (total < size) {
    const ssize_t got = ::read(fd, data + total, size - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
  }
  return static_cast<ssize_t>(total);
}

class Disk : public FileLayer {
 public:
  std::optional<std::size_t> ReadStart(
      const std::filesystem::path& path,
      std::span<std::uint8_t> buffer) const override {
    FileDescriptor file(OpenForReading(path));
    if (file.get() < 0) return std::nullopt;
    struct stat status;
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
      return std::nullopt;
    }
    const std::size_t wanted =
        std::min(static_cast<std::size_t>(status.st_size), buffer.size());
    if (ReadUpTo(file.get(), buffer.data(), wanted) !=
        static_cast<ssize_t>(wanted)) {
      return std::nullopt;
    }
    return wanted;
  }

  bool ReadPieces(
      const std::filesystem::path& path,
      const std::function<void(std::string_view)>& take) const override {
    FileDescriptor file(OpenForReading(path));
    if (file.get() < 0) return false;
    std::array<char, 16384> chunk;
    for (;;) {
      const ssize_t got = ::read(file.get(), chunk.data(), chunk.size());
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;  // an unreadable rest counts as the end
      take(std::string_view(chunk.data(), static_cast<std::size_t>(got)));
    }
    return true;
  }

  AtomicWriteResult WriteAtomically(
      const std::filesystem::path& path,
      std::span<const std::uint8_t> bytes) override {
    return WriteFileAtomically(path, bytes);
  }
};

}  // namespace

FileLayer& DiskFiles() {
  static Disk disk;
  return disk;
}

}  // namespace lumera
