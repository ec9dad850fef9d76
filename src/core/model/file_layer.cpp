#include "core/model/file_layer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

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

class DiskStagedWrite : public StagedWrite {
 public:
  explicit DiskStagedWrite(StagedFile file) : file_(std::move(file)) {}
  bool Commit(FileWriteError& error) override { return file_.Commit(error); }

 private:
  StagedFile file_;
};

class Disk : public FileLayer {
 public:
  std::optional<FileStart> ReadStart(
      const std::filesystem::path& path,
      std::span<std::uint8_t> buffer) const override {
    FileDescriptor file(OpenForReading(path));
    if (file.get() < 0) return std::nullopt;
    struct stat status;
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
      return std::nullopt;
    }
    const auto size = static_cast<std::uintmax_t>(status.st_size);
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uintmax_t>(size, buffer.size()));
    if (ReadUpTo(file.get(), buffer.data(), wanted) !=
        static_cast<ssize_t>(wanted)) {
      return std::nullopt;
    }
    return FileStart{wanted, size};
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

  std::unique_ptr<StagedWrite> Stage(const std::filesystem::path& path,
                                     std::span<const std::uint8_t> bytes,
                                     FileWriteError& error) override {
    StagedFile file;
    if (!file.Stage(path, bytes, error)) return nullptr;
    return std::make_unique<DiskStagedWrite>(std::move(file));
  }

  void SyncFolderOf(const std::filesystem::path& path) override {
    SyncFolder(path);
  }
};

}  // namespace

FileLayer& DiskFiles() {
  static Disk disk;
  return disk;
}

}  // namespace lumera
