// A line that never goes quiet: a wrong port, a device streaming text, a
// radio module dumping its messages. Every write is taken and nothing
// answers it; reads bring the bytes of `pattern` over and over, one every
// `interval` (zero: one always waits), and wait as a real port does: up to
// the read time-out for the next byte, asking the abort check before and
// during the wait. An empty pattern is a line that stays silent.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/link/serial_port.h"

namespace lumera {

class BabblingLine {
 public:
  using Clock = std::chrono::steady_clock;

  BabblingLine(std::vector<std::uint8_t> pattern,
               std::chrono::microseconds interval)
      : pattern_(std::move(pattern)), interval_(interval) {}

  // A new port on this line, for PortAccess::create.
  std::unique_ptr<SerialPort> MakePort() {
    return std::make_unique<Port>(*this);
  }

  // Counted on the reading thread, watched by the test's.
  long bytes_read() const { return bytes_read_.load(); }
  int reads() const { return reads_.load(); }

 private:
  class Port : public SerialPort {
   public:
    explicit Port(BabblingLine& line) : line_(line) {}

    bool Open(std::string_view) override {
      next_ = Clock::now();
      return open_ = true;
    }
    bool SetBuffers(int, int) override { return open_; }
    bool SetLine(const LineSettings&) override { return open_; }
    bool SetTimeouts(const SerialTiming& timing) override {
      timing_ = timing;
      return open_;
    }
    void Purge() override {}
    int Write(std::span<const std::uint8_t> bytes) override {
      return open_ ? static_cast<int>(bytes.size()) : -1;
    }
    ReadResult ReadByte() override {
      ++line_.reads_;
      const Clock::time_point deadline =
          Clock::now() + std::chrono::milliseconds(timing_.read_constant_ms);
      for (;;) {
        if (abort_ && abort_()) return {ReadStatus::kTimeout, 0};
        const Clock::time_point now = Clock::now();
        const bool talking = !line_.pattern_.empty();
        if (talking && now >= next_) return NextByte(now);
        if (now >= deadline) return {ReadStatus::kTimeout, 0};
        const Clock::time_point until =
            talking ? std::min(next_, deadline) : deadline;
        std::this_thread::sleep_for(
            std::min<Clock::duration>(until - now, kAbortCheckInterval));
      }
    }
    void Close() override { open_ = false; }
    void SetAbortCheck(AbortCheck check) override { abort_ = std::move(check); }
    bool IsOpen() const override { return open_; }
    const PortFailure& LastFailure() const override { return failure_; }

   private:
    ReadResult NextByte(Clock::time_point now) {
      const std::uint8_t byte = line_.pattern_[position_];
      position_ = (position_ + 1) % line_.pattern_.size();
      next_ = now + line_.interval_;
      ++line_.bytes_read_;
      return {ReadStatus::kByte, byte};
    }

    BabblingLine& line_;
    bool open_ = false;
    SerialTiming timing_;
    AbortCheck abort_;
    Clock::time_point next_{};
    std::size_t position_ = 0;
    PortFailure failure_;
  };

  const std::vector<std::uint8_t> pattern_;
  const std::chrono::microseconds interval_;
  std::atomic<long> bytes_read_{0};
  std::atomic<int> reads_{0};
};

}  // namespace lumera
