#include "sim/state_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace lumera {

namespace {

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

StateLoad LoadStateImage(const std::filesystem::path& path,
                         ProgramImage& image) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? StateLoad::kMissing : StateLoad::kFailed;
  ProgramImage read_image{};
  std::size_t total = 0;
  bool failed = false;
  // One byte more than an image, to tell a longer file from an exact one.
  std::uint8_t extra = 0;
  while (true) {
    std::uint8_t* target =
        total < read_image.size() ? read_image.data() + total : &extra;
    const std::size_t room =
        total < read_image.size() ? read_image.size() - total : 1;
    const ssize_t got = ::read(fd, target, room);
    if (got < 0) {
      if (errno == EINTR) continue;
      failed = true;
      break;
    }
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
    if (total > read_image.size()) break;
  }
  ::close(fd);
  if (failed || total != read_image.size()) return StateLoad::kFailed;
  image = read_image;
  return StateLoad::kLoaded;
}

bool SaveStateImage(const std::filesystem::path& path,
                    const ProgramImage& image) {
  std::filesystem::path temporary = path;
  temporary += ".tmp" + std::to_string(::getpid());
  const int fd =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written =
      WriteAll(fd, image.data(), image.size()) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed ||
      std::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace lumera
