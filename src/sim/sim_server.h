// The loop that serves a line on a device: reads requests, writes replies,
// paced like the real line when asked, until a signal ends it.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>

#include "sim/sim_device.h"
#include "sim/sim_line.h"

namespace lumera {

// A partly received frame is dropped after the line stayed quiet this long:
// a client that gave up on it sends its next frame from the start.
inline constexpr int kQuietLineMs = 200;

// Writes no faster than a line of `baud` baud with ten bits a byte; with
// baud 0, as fast as the device takes the bytes. The line is half duplex:
// what was received occupies it too, so a reply starts only once the
// request would have crossed a real line. With a latency, the bytes of each
// Write are held as a USB adapter's latency timer holds them: they reach the
// computer together, `latency_ms` after the first of them was on the line
// (or when the last is in, if that is later).
class PacedWriter {
 public:
  PacedWriter(int fd, int baud, int latency_ms = 0)
      : fd_(fd), baud_(baud), latency_(latency_ms) {}
  // `count` bytes arrived now.
  void NoteReceived(std::size_t count);
  // False when the device failed or stayed full for a second.
  bool Write(std::span<const std::uint8_t> bytes);

 private:
  bool WriteChunk(std::span<const std::uint8_t> bytes);
  std::chrono::steady_clock::duration ByteTime() const;

  int fd_;
  int baud_;
  std::chrono::milliseconds latency_;
  // When the line is free for the next byte.
  std::chrono::steady_clock::time_point next_byte_time_{};
};

enum class ServeEnd { kSignal, kDeviceFailed, kHangUp };

// Serves `line` on `device` until `signal_fd` (a signalfd) becomes
// readable, the device fails, or the line's fault asks for a hang-up.
ServeEnd ServeLine(const SimDevice& device, int signal_fd, SimLine& line,
                   int baud, int latency_ms = 0);

}  // namespace lumera
