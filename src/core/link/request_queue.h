// Requests of one job, appended back to back in one fixed buffer: each entry
// is L (= payload + 2), the expected reply length R, the code and the payload.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace lumera {

inline constexpr std::size_t kRequestQueueBytes = 20500;

// One entry as taken from the queue by the worker.
struct QueuedRequest {
  std::uint8_t length = 0;        // L: code + payload + checksum
  std::uint8_t reply_length = 0;  // R, low seven bits
  std::uint8_t code = 0;
  std::array<std::uint8_t, 255> payload{};
  int payload_size() const { return length >= 2 ? length - 2 : 0; }
};

class RequestQueue {
 public:
  // Appends one entry. Refused (false, queue unchanged) when the entry would
  // not fit in the buffer or the payload cannot be described by L.
  bool Append(std::uint8_t code, std::span<const std::uint8_t> payload,
              std::uint8_t reply_length);

  // Takes the entry at the read position into `out`; false when none is left.
  bool Take(QueuedRequest& out);

  void Clear();
  void RewindRead() { read_position_ = 0; }

  int count() const { return count_; }
  bool empty() const { return count_ == 0; }

 private:
  std::array<std::uint8_t, kRequestQueueBytes> buffer_{};
  std::size_t write_position_ = 0;
  std::size_t read_position_ = 0;
  int count_ = 0;
};

}  // namespace lumera
