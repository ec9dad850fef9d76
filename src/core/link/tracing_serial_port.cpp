#include "core/link/tracing_serial_port.h"

#include <algorithm>

namespace lumera {

TracingSerialPort::TracingSerialPort(std::unique_ptr<SerialPort> port,
                                     LineTraceSink& sink,
                                     Clock::time_point start)
    : port_(std::move(port)), sink_(sink), start_(start) {}

std::chrono::microseconds TracingSerialPort::SinceStart() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() -
                                                               start_);
}

void TracingSerialPort::Tell(TraceDirection direction,
                             std::span<const std::uint8_t> bytes,
                             std::size_t dropped) {
  sink_.Record({SinceStart(), direction, request_code_, bytes, dropped});
}

void TracingSerialPort::Purge() {
  // Bytes read but never handed to a reply (a reader stopped early) are
  // junk; what the purge itself discards was never read.
  FlushReads(0);
  port_->Purge();
}

int TracingSerialPort::Write(std::span<const std::uint8_t> bytes) {
  const int written = port_->Write(bytes);
  const std::size_t shown =
      written < 0 ? 0
                  : std::min(bytes.size(), static_cast<std::size_t>(written));
  Tell(TraceDirection::kWritten, bytes.first(shown), 0);
  return written;
}

ReadResult TracingSerialPort::ReadByte() {
  const ReadResult result = port_->ReadByte();
  if (result.status == ReadStatus::kByte) {
    if (read_size_ < read_.size()) {
      read_[read_size_++] = result.byte;
    } else {
      ++read_dropped_;
    }
  }
  return result;
}

void TracingSerialPort::FlushReads(int reply_length) {
  if (read_size_ == 0 && read_dropped_ == 0) return;
  const std::span<const std::uint8_t> read(read_.data(), read_size_);
  const std::size_t reply =
      read_dropped_ == 0 && reply_length > 0
          ? std::min(read.size(), static_cast<std::size_t>(reply_length))
          : 0;
  const std::size_t junk = read.size() - reply;
  if (junk > 0 || read_dropped_ > 0) {
    Tell(TraceDirection::kJunk, read.first(junk), read_dropped_);
  }
  if (reply > 0) Tell(TraceDirection::kReply, read.last(reply), 0);
  read_size_ = 0;
  read_dropped_ = 0;
}

}  // namespace lumera
