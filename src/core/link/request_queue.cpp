#include "core/link/request_queue.h"

#include <algorithm>

namespace lumera {

bool RequestQueue::Append(std::uint8_t code,
                          std::span<const std::uint8_t> payload,
                          std::uint8_t reply_length) {
  // L is one byte and counts the code and the checksum as well.
  if (payload.size() > 253) return false;
  const std::size_t entry_size = 3 + payload.size();
  if (entry_size > buffer_.size() - write_position_) return false;
  std::uint8_t* entry = buffer_.data() + write_position_;
  entry[0] = static_cast<std::uint8_t>(payload.size() + 2);
  entry[1] = reply_length;
  entry[2] = code;
  std::copy(payload.begin(), payload.end(), entry + 3);
  write_position_ += entry_size;
  ++count_;
  return true;
}

bool RequestQueue::Take(QueuedRequest& out) {
  if (count_ <= 0 || read_position_ + 3 > write_position_) return false;
  const std::uint8_t* entry = buffer_.data() + read_position_;
  out.length = entry[0];
  out.reply_length = entry[1] & 0x7F;
  out.code = entry[2];
  const int n = out.payload_size();
  std::copy(entry + 3, entry + 3 + n, out.payload.begin());
  read_position_ += 3 + static_cast<std::size_t>(n);
  --count_;
  return true;
}

void RequestQueue::Clear() {
  write_position_ = 0;
  read_position_ = 0;
  count_ = 0;
}

}  // namespace lumera
