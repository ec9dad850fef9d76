#include "sim/sim_server.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <thread>

namespace lumera {

namespace {

constexpr int kFullDeviceWaitMs = 1000;
// How often an idle line looks for a client that went away uncleanly.
constexpr int kIdleCheckMs = 1000;

}  // namespace

bool PacedWriter::WriteChunk(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written > 0) {
      bytes = bytes.subspan(static_cast<std::size_t>(written));
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno != EAGAIN) return false;
    pollfd out{fd_, POLLOUT, 0};
    if (::poll(&out, 1, kFullDeviceWaitMs) <= 0) return false;
  }
  return true;
}

std::chrono::steady_clock::duration PacedWriter::ByteTime() const {
  return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(10.0 / baud_));
}

void PacedWriter::NoteReceived(std::size_t count) {
  if (baud_ <= 0) return;
  next_byte_time_ =
      std::max(next_byte_time_, std::chrono::steady_clock::now()) +
      ByteTime() * static_cast<long>(count);
}

bool PacedWriter::Write(std::span<const std::uint8_t> bytes) {
  if (latency_.count() > 0 && !bytes.empty()) {
    const auto start =
        std::max(next_byte_time_, std::chrono::steady_clock::now());
    const auto wire_end =
        baud_ > 0 ? start + ByteTime() * static_cast<long>(bytes.size())
                  : start;
    std::this_thread::sleep_until(std::max(start + latency_, wire_end));
    if (baud_ > 0) next_byte_time_ = wire_end;
    return WriteChunk(bytes);
  }
  if (baud_ <= 0) return WriteChunk(bytes);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    next_byte_time_ =
        std::max(next_byte_time_, std::chrono::steady_clock::now());
    std::this_thread::sleep_until(next_byte_time_);
    if (!WriteChunk(bytes.subspan(i, 1))) return false;
    next_byte_time_ += ByteTime();
  }
  return true;
}

ServeEnd ServeLine(const SimDevice& device, int signal_fd, SimLine& line,
                   int baud, int latency_ms) {
  PacedWriter writer(device.Fd(), baud, latency_ms);
  std::array<pollfd, 2> watched{pollfd{device.Fd(), POLLIN, 0},
                                pollfd{signal_fd, POLLIN, 0}};
  std::array<std::uint8_t, 512> buffer{};
  while (true) {
    const int timeout = line.MidFrame() ? kQuietLineMs : kIdleCheckMs;
    const int ready = ::poll(watched.data(), watched.size(), timeout);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return ServeEnd::kDeviceFailed;
    }
    if (ready == 0) {
      line.DropPartialFrame();
      device.ClearStaleExclusive();
      continue;
    }
    if (watched[1].revents != 0) {
      signalfd_siginfo info{};
      [[maybe_unused]] const ssize_t got =
          ::read(signal_fd, &info, sizeof info);
      return ServeEnd::kSignal;
    }
    const short events = watched[0].revents;
    if ((events & POLLIN) != 0) {
      const ssize_t got = ::read(device.Fd(), buffer.data(), buffer.size());
      if (got > 0) {
        writer.NoteReceived(static_cast<std::size_t>(got));
        const auto reply = line.Receive(
            std::span(buffer).first(static_cast<std::size_t>(got)));
        const std::optional<PendingFault> fault = line.TakeFault();
        std::span<const std::uint8_t> rest(reply);
        if (fault) {
          std::fputs("fault\n", stdout);
          std::fflush(stdout);
          if (fault->kind == FaultKind::kHangUp) return ServeEnd::kHangUp;
          if (fault->kind == FaultKind::kDelay ||
              fault->kind == FaultKind::kPause) {
            std::size_t first = fault->reply_offset;
            if (fault->kind == FaultKind::kPause) {
              first += (reply.size() - fault->reply_offset) / 2;
            }
            if (!writer.Write(rest.first(first))) device.DiscardUnread();
            std::this_thread::sleep_for(std::chrono::milliseconds(fault->ms));
            rest = rest.subspan(first);
          }
        }
        // Nobody reads what stays stuck: drop it so the next client starts
        // from a clean line.
        if (!rest.empty() && !writer.Write(rest)) device.DiscardUnread();
        if (fault) {
          std::fputs("done\n", stdout);
          std::fflush(stdout);
        }
        continue;
      }
      if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      return ServeEnd::kDeviceFailed;
    }
    if ((events & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      return ServeEnd::kDeviceFailed;
    }
  }
}

}  // namespace lumera
