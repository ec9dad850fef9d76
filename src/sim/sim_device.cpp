#include "sim/sim_device.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

namespace lumera {

namespace {

speed_t SpeedFor(int baud) {
  switch (baud) {
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B38400;
  }
}

bool MakeRaw(int fd, int baud) {
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) return false;
  ::cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  ::cfsetispeed(&settings, SpeedFor(baud));
  ::cfsetospeed(&settings, SpeedFor(baud));
  return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

}  // namespace

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
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) return std::nullopt;
  char name[128];
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
      ::ptsname_r(master, name, sizeof name) != 0) {
    ::close(master);
    return std::nullopt;
  }
  const int held = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (held < 0) {
    ::close(master);
    return std::nullopt;
  }
  // Raw on the client side: no echo, no line editing, no CR/LF mapping.
  if (!MakeRaw(held, 0) ||
      ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
    ::close(held);
    ::close(master);
    return std::nullopt;
  }
  return SimDevice(master, held, name);
}

std::optional<SimDevice> SimDevice::OpenSerialDevice(const std::string& path,
                                                     int baud) {
  const int fd =
      ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  // Not every device is a terminal (a FIFO pair in a test, say); one that
  // is gets the raw line.
  if (::isatty(fd) && !MakeRaw(fd, baud)) {
    ::close(fd);
    return std::nullopt;
  }
  return SimDevice(fd, -1, path);
}

}  // namespace lumera
