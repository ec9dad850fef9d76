// A serial port for the reply-reader targets: it hands out a script of
// bytes, time-outs and failures, then time-outs for ever, and records what
// the reader took, so a target can judge the reader's answer against the
// bytes it really saw.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/link/serial_port.h"
#include "fuzz_check.h"

namespace lumera {

class ScriptPort : public SerialPort {
 public:
  // Past the script a reader sees only time-outs; one that keeps reading
  // them longer than this never gives up.
  static constexpr int kMaxTrailingTimeouts = 1000;

  explicit ScriptPort(std::vector<ReadResult> script)
      : script_(std::move(script)) {}

  bool Open(std::string_view) override { return true; }
  bool SetBuffers(int, int) override { return true; }
  bool SetLine(const LineSettings&) override { return true; }
  bool SetTimeouts(const SerialTiming&) override { return true; }
  void Purge() override {}
  int Write(std::span<const std::uint8_t> bytes) override {
    return static_cast<int>(bytes.size());
  }
  ReadResult ReadByte() override {
    ReadResult r{ReadStatus::kTimeout, 0};
    if (next_ < script_.size()) {
      r = script_[next_++];
    } else {
      ++trailing_timeouts_;
      LUMERA_FUZZ_CHECK(trailing_timeouts_ <= kMaxTrailingTimeouts);
    }
    last_ = r.status;
    if (r.status == ReadStatus::kTimeout) {
      ++timeout_run_;
    } else {
      timeout_run_ = 0;
    }
    if (r.status == ReadStatus::kByte) taken_.push_back(r.byte);
    return r;
  }
  void Close() override {}
  bool IsOpen() const override { return true; }
  const PortFailure& LastFailure() const override { return failure_; }

  // The bytes the reader took, in order.
  std::span<const std::uint8_t> Taken() const { return taken_; }
  ReadStatus LastStatus() const { return last_; }
  // Time-outs read in a row up to the last read.
  int TimeoutRun() const { return timeout_run_; }

 private:
  std::vector<ReadResult> script_;
  std::size_t next_ = 0;
  int trailing_timeouts_ = 0;
  int timeout_run_ = 0;
  ReadStatus last_ = ReadStatus::kTimeout;
  std::vector<std::uint8_t> taken_;
  PortFailure failure_;
};

// Every byte of `bytes` as read from the line.
inline std::vector<ReadResult> ByteScript(std::span<const std::uint8_t> bytes) {
  std::vector<ReadResult> script;
  for (const std::uint8_t b : bytes) script.push_back({ReadStatus::kByte, b});
  return script;
}

}  // namespace lumera
