// Reply frames with correct sums, and scripted input built from them, for
// tests that play the controller's side of the line.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/link/frames.h"
#include "support/fake_serial_port.h"

namespace lumera {

// <start> <second> <address> <L> <code> <data> <sum>.
inline std::vector<std::uint8_t> FramedReply(
    std::uint8_t start, std::uint8_t second, std::uint8_t address,
    std::uint8_t code, const std::vector<std::uint8_t>& data) {
  // Appended one by one: GCC 12 at -O3 misreads a range insert here.
  std::vector<std::uint8_t> frame = {
      start, second, address, static_cast<std::uint8_t>(data.size() + 2), code};
  for (std::uint8_t b : data) frame.push_back(b);
  frame.push_back(FrameSum(frame));
  return frame;
}

// What a controller sends: 88 FF <address> <L> <code> <data> <sum>.
inline std::vector<std::uint8_t> ReplyFrame(
    std::uint8_t address, std::uint8_t code,
    const std::vector<std::uint8_t>& data) {
  return FramedReply(0x88, 0xFF, address, code, data);
}

// A reply `reply_length` bytes long in all, its data all `fill`.
inline std::vector<std::uint8_t> PaddedReply(std::uint8_t address,
                                             std::uint8_t code,
                                             int reply_length,
                                             std::uint8_t fill) {
  return ReplyFrame(address, code,
                    std::vector<std::uint8_t>(
                        static_cast<std::size_t>(reply_length - 6), fill));
}

inline std::vector<std::uint8_t> Concat(
    std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// Scripted input: `bytes`, then what `then` holds (a failure, say).
inline std::vector<ReadResult> In(const std::vector<std::uint8_t>& bytes,
                                  std::vector<ReadResult> then = {}) {
  std::vector<ReadResult> out = FakeSerialPort::Bytes(bytes);
  out.insert(out.end(), then.begin(), then.end());
  return out;
}

}  // namespace lumera
