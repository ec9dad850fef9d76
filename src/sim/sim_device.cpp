#include "sim/sim_device.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <utility>

#include "core/link/raw_terminal.h"

namespace lumera {

SimDevice::SimDevice(int fd, int held_fd, std::string path)
    : fd_(fd), held_fd_(held_fd), path_(std::move(path)) {}

SimDevice::SimDevice(SimDevice&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      held_fd_(std::exchange(other.held_fd_, -1)),
      path_(std::move(other.path_)) {}

SimDevice& SimDevice::operator=(SimDevice&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    held_fd_ = std::exchange(other.held_fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

SimDevice::~SimDevice() { Close(); }

void SimDevice::Close() {
  if (held_fd_ >= 0) ::close(held_fd_);
  if (fd_ >= 0) ::close(fd_);
  fd_ = held_fd_ = -1;
}

void SimDevice::DiscardUnread() const {
  if (held_fd_ >= 0) ::tcflush(held_fd_, TCIFLUSH);
}

void SimDevice::ClearStaleExclusive() const {
  if (held_fd_ < 0 || ::flock(held_fd_, LOCK_EX | LOCK_NB) != 0) return;
  ::ioctl(held_fd_, TIOCNXCL);
  ::flock(held_fd_, LOCK_UN);
}

std::optional<SimDevice> SimDevice::OpenPseudoTerminal() {
  std::optional<PseudoTerminal> terminal = OpenRawPseudoTerminal();
  if (!terminal) return std::nullopt;
  if (::fcntl(terminal->master, F_SETFL,
              ::fcntl(terminal->master, F_GETFL) | O_NONBLOCK) != 0) {
    ::close(terminal->client);
    ::close(terminal->master);
    return std::nullopt;
  }
  return SimDevice(terminal->master, terminal->client,
                   std::move(terminal->path));
}

std::optional<SimDevice> SimDevice::OpenSerialDevice(const std::string& path,
                                                     int baud) {
  const int fd =
      ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  // Not every device is a terminal (a FIFO pair in a test, say); one that
  // is gets the raw line.
  if (::isatty(fd) &&
      !MakeRawTerminal(fd, BaudConstant(baud).value_or(B38400))) {
    ::close(fd);
    return std::nullopt;
  }
  return SimDevice(fd, -1, path);
}

}  // namespace lumera
