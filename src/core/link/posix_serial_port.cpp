#ifndef _WIN32

#include "core/link/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <system_error>
#include <thread>

#if defined(__linux__)
#include <linux/serial.h>
#endif

#include "core/link/line_wait.h"
#include "core/link/raw_terminal.h"

namespace lumera {
namespace {

using Clock = WaitClock;

std::optional<tcflag_t> DataBitsFlag(int data_bits) {
  switch (data_bits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    case 8:
      return CS8;
    default:
      return std::nullopt;
  }
}

// A modem-line change on a device without modem lines (a pseudo-terminal,
// some adapters) is not an error: the line works without them.
bool ModemLines(int fd, unsigned long request, int bits) {
  if (::ioctl(fd, request, &bits) == 0) return true;
  return errno == ENOTTY || errno == EINVAL;
}

void AskForLowLatency(int fd) {
#if defined(__linux__)
  // Without it some USB adapters hold received bytes for up to 16 ms.
  serial_struct info{};
  if (::ioctl(fd, TIOCGSERIAL, &info) == 0 &&
      (info.flags & ASYNC_LOW_LATENCY) == 0) {
    info.flags |= ASYNC_LOW_LATENCY;
    ::ioctl(fd, TIOCSSERIAL, &info);  // unsupported drivers just refuse
  }
#else
  (void)fd;
#endif
}

}  // namespace

PosixSerialPort::PosixSerialPort(PortRoots roots) : roots_(std::move(roots)) {}

PosixSerialPort::~PosixSerialPort() { Close(); }

bool PosixSerialPort::Fail(std::string_view message, int error) {
  const std::string& subject = device_;
  failure_.message = message;
  failure_.system_error = error;
  failure_.reason = (subject.empty() ? std::string() : subject + ": ") +
                    std::system_category().message(error);
  return false;
}

bool PosixSerialPort::Open(std::string_view name) {
  Close();
  timing_ = SerialTiming{};
  baud_rate_ = kLineBaudRate;
  const std::optional<std::string> path = ResolvePortName(name, roots_);
  device_ = path.value_or(std::string(name));
  if (!path) {
    Fail(kOpenPortFailedText, ENOENT);
    device_.clear();
    return false;
  }
  const int fd =
      ::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    Fail(kOpenPortFailedText, errno);
    device_.clear();
    return false;
  }
  int error = 0;
  if (!::isatty(fd)) {
    error = ENOTTY;
  } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    // TIOCEXCL keeps other users out but not root; the advisory lock also
    // keeps out a cooperating program running as root.
    error = (errno == EWOULDBLOCK) ? EBUSY : errno;
  }
  if (error != 0) {
    ::close(fd);
    Fail(kOpenPortFailedText, error);
    device_.clear();
    return false;
  }
  ::ioctl(fd, TIOCEXCL);
  AskForLowLatency(fd);
  fd_ = fd;
  return true;
}

bool PosixSerialPort::SetBuffers(int input_bytes, int output_bytes) {
  // The kernel's buffers are fixed and larger than any frame.
  if (fd_ < 0) return Fail(kSetBuffersFailedText, EBADF);
  if (input_bytes <= 0 || output_bytes <= 0) {
    return Fail(kSetBuffersFailedText, EINVAL);
  }
  return true;
}

bool PosixSerialPort::SetLine(const LineSettings& settings) {
  if (fd_ < 0) return Fail(kSetLineFailedText, EBADF);
  const std::optional<speed_t> speed = BaudConstant(settings.baud_rate);
  const std::optional<tcflag_t> size = DataBitsFlag(settings.data_bits);
  if (!speed || !size || settings.stop_bits == StopBits::kOneAndHalf ||
      settings.dtr == DtrMode::kHandshake) {
    return Fail(kSetLineFailedText, EINVAL);
  }
  termios tio{};
  if (::tcgetattr(fd_, &tio) != 0) return Fail(kSetLineFailedText, errno);

  // Raw binary bytes, no flow control, no translation.
  tio.c_iflag &=
      ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                             ICRNL | IXON | IXOFF | IXANY | INPCK);
  if (settings.parity_check) tio.c_iflag |= INPCK;
  tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB |
                                        CRTSCTS | CMSPAR);
  tio.c_cflag |= CREAD | CLOCAL | *size;
  switch (settings.parity) {
    case Parity::kNone:
      break;
    case Parity::kOdd:
      tio.c_cflag |= PARENB | PARODD;
      break;
    case Parity::kEven:
      tio.c_cflag |= PARENB;
      break;
    case Parity::kMark:
      tio.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case Parity::kSpace:
      tio.c_cflag |= PARENB | CMSPAR;
      break;
  }
  if (settings.stop_bits == StopBits::kTwo) tio.c_cflag |= CSTOPB;
  // One byte per read; with O_NONBLOCK an empty line gives EAGAIN, so a read
  // of 0 bytes means the line has gone away.
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (::cfsetispeed(&tio, *speed) != 0 || ::cfsetospeed(&tio, *speed) != 0 ||
      ::tcsetattr(fd_, TCSANOW, &tio) != 0) {
    return Fail(kSetLineFailedText, errno);
  }
  // tcsetattr succeeds when any of the changes took; check the ones that
  // matter.
  termios applied{};
  if (::tcgetattr(fd_, &applied) != 0) return Fail(kSetLineFailedText, errno);
  if (::cfgetospeed(&applied) != *speed || (applied.c_cflag & CSIZE) != *size) {
    return Fail(kSetLineFailedText, EINVAL);
  }

  const bool dtr_on = settings.dtr == DtrMode::kEnabled;
  if (!ModemLines(fd_, dtr_on ? TIOCMBIS : TIOCMBIC, TIOCM_DTR) ||
      !ModemLines(fd_, TIOCMBIS, TIOCM_RTS)) {
    return Fail(kSetLineFailedText, errno);
  }
  baud_rate_ = settings.baud_rate;
  return true;
}

bool PosixSerialPort::SetTimeouts(const SerialTiming& timing) {
  if (fd_ < 0) return Fail(kSetTimeoutsFailedText, EBADF);
  timing_ = timing;
  return true;
}

void PosixSerialPort::Purge() {
  if (fd_ < 0) return;
  ::tcflush(fd_, TCIFLUSH);
  // Output is flushed only when some is still queued (a write that timed
  // out): a completed Write has nothing left, and on a pseudo-terminal an
  // output flush can still catch a finished frame on its way to the peer.
  int queued = 0;
  if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued > 0) {
    ::tcflush(fd_, TCOFLUSH);
  }
}

bool PosixSerialPort::DrainOutput(Clock::time_point deadline) {
  for (;;) {
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) {
      // The driver's queue is empty (or it cannot say): what is left is at
      // most the transmitter's own few bytes.
      while (::tcdrain(fd_) != 0 && errno == EINTR) {
      }
      return true;
    }
    const int left = MsLeft(deadline);
    if (left == 0 || (abort_check_ && abort_check_())) return false;
    // About one character time per queued byte (10 bits each).
    const int wait_ms = std::clamp(
        queued * 10000 / baud_rate_, 1,
        std::min(left, static_cast<int>(kAbortCheckInterval.count())));
    std::this_thread::sleep_for(std::chrono::milliseconds(wait_ms));
  }
}

int PosixSerialPort::Write(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) {
    Fail(kWriteFailedText, EBADF);
    return -1;
  }
  const Clock::time_point deadline =
      DeadlineAfter(timing_.write_constant_ms +
                    std::uint64_t{timing_.write_multiplier} * bytes.size());
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n =
        ::write(fd_, bytes.data() + written, bytes.size() - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      Fail(kWriteFailedText, errno);
      return -1;
    }
    pollfd p{fd_, POLLOUT, 0};
    const int ready = PollUntil(p, deadline, abort_check_);
    if (ready < 0) {
      Fail(kWriteFailedText, errno);
      return -1;
    }
    if (ready == 0) {
      Fail(kWriteFailedText, ETIMEDOUT);
      return static_cast<int>(written);
    }
    if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
      Fail(kWriteFailedText, EIO);
      return -1;
    }
  }
  // Return only once the bytes have left: a purge right after this call
  // (before the next frame, or before closing) would otherwise discard the
  // end of this frame.
  if (!DrainOutput(deadline)) {
    int queued = 0;
    ::ioctl(fd_, TIOCOUTQ, &queued);
    Fail(kWriteFailedText, ETIMEDOUT);
    return static_cast<int>(written) -
           std::clamp(queued, 0, static_cast<int>(written));
  }
  return static_cast<int>(written);
}

ReadResult PosixSerialPort::ReadByte() {
  if (fd_ < 0) {
    Fail({}, EBADF);
    return {ReadStatus::kFailed, 0};
  }
  const Clock::time_point deadline = DeadlineAfter(timing_.read_constant_ms);
  for (;;) {
    pollfd p{fd_, POLLIN, 0};
    const int ready = PollUntil(p, deadline, abort_check_);
    if (ready < 0) {
      Fail({}, errno);
      return {ReadStatus::kFailed, 0};
    }
    if (ready == 0) return {ReadStatus::kTimeout, 0};
    if ((p.revents & POLLIN) != 0) {
      std::uint8_t byte = 0;
      const ssize_t n = ::read(fd_, &byte, 1);
      if (n == 1) return {ReadStatus::kByte, byte};
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      // 0 bytes: the device hung up (an unplugged adapter).
      Fail({}, n == 0 ? EIO : errno);
      return {ReadStatus::kFailed, 0};
    }
    // Hang-up or error with nothing left to read: waiting on would spin.
    Fail({}, (p.revents & POLLNVAL) != 0 ? EBADF : EIO);
    return {ReadStatus::kFailed, 0};
  }
}

void PosixSerialPort::Close() {
  if (fd_ < 0) return;
  ::ioctl(fd_, TIOCNXCL);
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
  device_.clear();
}

}  // namespace lumera

#endif  // _WIN32
