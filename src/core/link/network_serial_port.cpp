#ifndef _WIN32

#include "core/link/network_serial_port.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "core/link/line_wait.h"

namespace lumera {
namespace {

using Clock = WaitClock;

// A TCP connection to one resolved address, given up at `deadline` or on
// abort; the socket (non-blocking) or -1 with errno set.
int ConnectTo(const addrinfo& info, Clock::time_point deadline,
              const AbortCheck& abort) {
  const int fd =
      ::socket(info.ai_family, info.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
               info.ai_protocol);
  if (fd < 0) return -1;
  int error = 0;
  if (::connect(fd, info.ai_addr, info.ai_addrlen) != 0) {
    error = errno;
    if (error == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      const int ready = PollUntil(p, deadline, abort);
      error = ETIMEDOUT;
      if (ready > 0) {
        socklen_t size = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
          error = errno;
        }
      } else if (ready < 0) {
        error = errno;
      }
    }
  }
  if (error != 0) {
    ::close(fd);
    errno = error;
    return -1;
  }
  // Frames are small and each waits for its reply: send them at once.
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  return fd;
}

// A server that sends a reply in two small pieces holds the second until the
// first is acknowledged (Nagle); a delayed acknowledgement would then cost
// tens of milliseconds a request. Linux turns quick acknowledgement off again
// by itself, so it is asked for after every receive.
void AckAtOnce(int fd) {
#if defined(TCP_QUICKACK)
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#else
  (void)fd;
#endif
}

}  // namespace

NetworkSerialPort::~NetworkSerialPort() { Close(); }

bool NetworkSerialPort::Fail(std::string_view message, int error,
                             std::string_view why) {
  failure_.message = message;
  failure_.system_error = error;
  failure_.reason = label_.empty() ? std::string() : label_ + ": ";
  failure_.reason +=
      why.empty() ? std::system_category().message(error) : std::string(why);
  return false;
}

bool NetworkSerialPort::Open(std::string_view name) {
  Close();
  timing_ = SerialTiming{};
  label_ = std::string(name);
  const std::optional<NetworkAddress> address = ParseNetworkAddress(name);
  if (!address) {
    return Fail(kOpenPortFailedText, EINVAL,
                "not a network port (tcp:HOST:PORT or rfc2217:HOST:PORT)");
  }
  address_ = *address;
  if (!Connect(address_)) return false;
  if (telnet()) {
    const TelnetOut greeting = TelnetGreeting();
    if (!SendRaw(greeting.View(), DeadlineAfter(timing_.write_constant_ms),
                 kOpenPortFailedText)) {
      Close();
      return false;
    }
  }
  return true;
}

bool NetworkSerialPort::Connect(const NetworkAddress& address) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(address.port);
  const int resolved =
      ::getaddrinfo(address.host.c_str(), service.c_str(), &hints, &found);
  if (resolved != 0) {
    const int error = resolved == EAI_SYSTEM ? errno : EHOSTUNREACH;
    return Fail(kOpenPortFailedText, error, ::gai_strerror(resolved));
  }
  const Clock::time_point deadline = DeadlineAfter(timing_.write_constant_ms);
  int error = EHOSTUNREACH;
  for (const addrinfo* info = found; info != nullptr && fd_ < 0;
       info = info->ai_next) {
    fd_ = ConnectTo(*info, deadline, abort_check_);
    if (fd_ < 0) error = errno;
  }
  ::freeaddrinfo(found);
  decoder_ = TelnetDecoder{};
  received_pos_ = received_size_ = 0;
  if (fd_ < 0) return Fail(kOpenPortFailedText, error);
  return true;
}

bool NetworkSerialPort::SetBuffers(int input_bytes, int output_bytes) {
  if (fd_ < 0) return Fail(kSetBuffersFailedText, EBADF);
  if (input_bytes <= 0 || output_bytes <= 0) {
    return Fail(kSetBuffersFailedText, EINVAL);
  }
  return true;
}

bool NetworkSerialPort::SetLine(const LineSettings& settings) {
  if (fd_ < 0) return Fail(kSetLineFailedText, EBADF);
  const std::optional<ComPortSetup> setup = ComPortLineCommands(settings);
  if (!setup) return Fail(kSetLineFailedText, EINVAL);
  // A raw stream cannot change the line: the server's own setting holds.
  if (!telnet()) return true;
  const Clock::time_point deadline = DeadlineAfter(timing_.write_constant_ms);
  decoder_.ForgetAnswers();
  for (std::size_t i = 0; i < setup->count; ++i) {
    if (!SendRaw(setup->commands[i].View(), deadline, kSetLineFailedText)) {
      return false;
    }
  }
  // The server confirms each setting; a server without the option says so
  // or stays silent, and the line would then run at whatever it was set to.
  using telnet::ComCommand;
  const auto all_answered = [this] {
    return decoder_.Answered(ComCommand::kSetBaudRate) &&
           decoder_.Answered(ComCommand::kSetDataSize) &&
           decoder_.Answered(ComCommand::kSetParity) &&
           decoder_.Answered(ComCommand::kSetStopSize) &&
           decoder_.Answered(ComCommand::kSetControl);
  };
  while (!all_answered()) {
    std::uint8_t byte = 0;
    // Data arriving before the line is set is noise; the purge that follows
    // would discard it anyway.
    while (NextDataByte(byte)) {
    }
    if (decoder_.com_port_refused()) {
      return Fail(kSetLineFailedText, EPROTO,
                  "the server refuses the COM port control option");
    }
    if (all_answered()) break;
    switch (ReceiveMore(deadline)) {
      case Receive::kData:
        break;
      case Receive::kTimeout:
        return Fail(kSetLineFailedText, ETIMEDOUT,
                    "the server does not confirm the line settings");
      case Receive::kFailed:
        failure_.message = kSetLineFailedText;
        return false;
    }
  }
  return SendAnswers(kSetLineFailedText);
}

bool NetworkSerialPort::SetTimeouts(const SerialTiming& timing) {
  if (fd_ < 0) return Fail(kSetTimeoutsFailedText, EBADF);
  timing_ = timing;
  return true;
}

void NetworkSerialPort::Purge() {
  if (fd_ < 0) return;
  // Whatever has arrived is stale; telnet commands in it still count.
  std::uint8_t byte = 0;
  for (;;) {
    while (NextDataByte(byte)) {
    }
    const ssize_t n =
        ::recv(fd_, received_.data(), received_.size(), MSG_DONTWAIT);
    if (n <= 0) break;  // empty, or gone: the next read says which
    received_pos_ = 0;
    received_size_ = static_cast<std::size_t>(n);
  }
  if (telnet()) {
    const std::uint8_t what[] = {telnet::kPurgeServerReceive};
    const TelnetOut purge =
        ComPortCommand(telnet::ComCommand::kPurgeData, what);
    // A failure here shows at the next write or read.
    SendRaw(purge.View(), DeadlineAfter(timing_.write_constant_ms), {});
  }
}

bool NetworkSerialPort::SendRaw(std::span<const std::uint8_t> bytes,
                                Clock::time_point deadline,
                                std::string_view message) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent,
                             MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      return Fail(message, errno);
    }
    pollfd p{fd_, POLLOUT, 0};
    const int ready = PollUntil(p, deadline, abort_check_);
    if (ready < 0) return Fail(message, errno);
    if (ready == 0) return Fail(message, ETIMEDOUT);
  }
  return true;
}

bool NetworkSerialPort::SendAnswers(std::string_view message) {
  const TelnetOut& answers = decoder_.Answers();
  if (answers.size == 0) return true;
  const bool sent = SendRaw(answers.View(),
                            DeadlineAfter(timing_.write_constant_ms), message);
  decoder_.ClearAnswers();
  return sent;
}

int NetworkSerialPort::Write(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) {
    Fail(kWriteFailedText, EBADF);
    return -1;
  }
  const Clock::time_point deadline =
      DeadlineAfter(timing_.write_constant_ms +
                    std::uint64_t{timing_.write_multiplier} * bytes.size());
  if (!telnet()) {
    return SendRaw(bytes, deadline, kWriteFailedText)
               ? static_cast<int>(bytes.size())
               : -1;
  }
  if (!SendAnswers(kWriteFailedText)) return -1;
  // Escaped in pieces: a frame is short, and 0xFF doubles at most.
  TelnetOut chunk;
  for (const std::uint8_t byte : bytes) {
    if (chunk.size + 2 > chunk.bytes.size()) {
      if (!SendRaw(chunk.View(), deadline, kWriteFailedText)) return -1;
      chunk.size = 0;
    }
    chunk.Append(byte);
    if (byte == telnet::kIac) chunk.Append(byte);
  }
  if (!SendRaw(chunk.View(), deadline, kWriteFailedText)) return -1;
  return static_cast<int>(bytes.size());
}

bool NetworkSerialPort::NextDataByte(std::uint8_t& byte) {
  while (received_pos_ < received_size_) {
    const std::uint8_t raw = received_[received_pos_++];
    if (!telnet()) {
      byte = raw;
      return true;
    }
    if (const std::optional<std::uint8_t> data = decoder_.Feed(raw)) {
      byte = *data;
      return true;
    }
  }
  return false;
}

NetworkSerialPort::Receive NetworkSerialPort::ReceiveMore(
    Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd_, POLLIN, 0};
    const int ready = PollUntil(p, deadline, abort_check_);
    if (ready < 0) {
      Fail({}, errno);
      return Receive::kFailed;
    }
    if (ready == 0) return Receive::kTimeout;
    const ssize_t n =
        ::recv(fd_, received_.data(), received_.size(), MSG_DONTWAIT);
    if (n > 0) {
      received_pos_ = 0;
      received_size_ = static_cast<std::size_t>(n);
      AckAtOnce(fd_);
      return Receive::kData;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
      continue;
    }
    if (n == 0) {
      Fail({}, ECONNRESET, "connection closed by the server");
    } else {
      Fail({}, errno);
    }
    return Receive::kFailed;
  }
}

ReadResult NetworkSerialPort::ReadByte() {
  if (fd_ < 0) {
    Fail({}, EBADF);
    return {ReadStatus::kFailed, 0};
  }
  std::uint8_t byte = 0;
  if (NextDataByte(byte)) return {ReadStatus::kByte, byte};
  const Clock::time_point deadline = DeadlineAfter(timing_.read_constant_ms);
  for (;;) {
    switch (ReceiveMore(deadline)) {
      case Receive::kData:
        break;
      case Receive::kTimeout:
        return {ReadStatus::kTimeout, 0};
      case Receive::kFailed:
        return {ReadStatus::kFailed, 0};
    }
    if (NextDataByte(byte)) return {ReadStatus::kByte, byte};
    // Only telnet commands came; answer them and wait on.
    if (telnet() && !SendAnswers({})) return {ReadStatus::kFailed, 0};
  }
}

void NetworkSerialPort::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  received_pos_ = received_size_ = 0;
}

}  // namespace lumera

#endif  // _WIN32
