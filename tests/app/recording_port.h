// A line that takes every frame and keeps its bytes; nothing answers. Jobs
// whose requests await no reply (destination "Wszystkie", or none expected)
// end on it without error.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "core/link/serial_port.h"

namespace lumera::testing {

class RecordingPort : public SerialPort {
 public:
  struct Bytes {
    std::mutex mutex;
    std::vector<std::uint8_t> bytes;
  };
  explicit RecordingPort(std::shared_ptr<Bytes> written)
      : written_(std::move(written)) {}

  bool Open(std::string_view) override { return open_ = true; }
  bool SetBuffers(int, int) override { return true; }
  bool SetLine(const LineSettings&) override { return true; }
  bool SetTimeouts(const SerialTiming&) override { return true; }
  void Purge() override {}
  int Write(std::span<const std::uint8_t> bytes) override {
    const std::lock_guard<std::mutex> lock(written_->mutex);
    written_->bytes.insert(written_->bytes.end(), bytes.begin(), bytes.end());
    return static_cast<int>(bytes.size());
  }
  ReadResult ReadByte() override { return {}; }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  const PortFailure& LastFailure() const override { return failure_; }

 private:
  std::shared_ptr<Bytes> written_;
  bool open_ = false;
  PortFailure failure_;
};

}  // namespace lumera::testing
