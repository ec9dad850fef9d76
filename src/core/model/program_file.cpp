#include "core/model/program_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <string>

#include "core/model/atomic_file.h"
#include "core/model/comment_file.h"

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

void ReadCommentFile(const std::filesystem::path& path, CommentTable& table) {
  FileDescriptor file(OpenForReading(path));
  if (file.get() < 0) return;
  CommentFileReader reader(table);
  std::array<char, 16384> chunk;
  for (;;) {
    const ssize_t got = ::read(file.get(), chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // an unreadable rest counts as the end of the file
    reader.Feed(std::string_view(chunk.data(), static_cast<std::size_t>(got)));
  }
  reader.Finish();
}

}  // namespace

bool SaveProgramFile(const ProgramStore& store,
                     const std::filesystem::path& path) {
  const std::optional<std::string> comments =
      FormatCommentFile(store.comments());
  if (!comments) return false;
  if (WriteFileAtomically(path, store.image()) != AtomicWriteResult::kOk) {
    return false;
  }
  return WriteFileAtomically(CommentFileName(path), *comments) !=
         AtomicWriteResult::kWriteFailed;
}

bool LoadProgramFile(ProgramStore& store, const std::filesystem::path& path) {
  FileDescriptor file(OpenForReading(path));
  if (file.get() < 0) return false;
  struct stat status;
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return false;
  }
  const std::size_t wanted = std::min<std::size_t>(
      static_cast<std::size_t>(status.st_size), kImageSize);
  ProgramImage buffer{};
  if (ReadUpTo(file.get(), buffer.data(), wanted) !=
      static_cast<ssize_t>(wanted)) {
    return false;
  }

  store.mutable_image() = buffer;
  store.TakeSnapshot();
  store.MarkLoadedFromFile();
  store.ClearAllComments();
  ReadCommentFile(CommentFileName(path), store.comments());
  return true;
}

}  // namespace lumera
