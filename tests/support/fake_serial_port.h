// A serial port that replays scripted input and records what is written, for
// tests of the frame readers and the transfer worker.
//
// Input waits in `incoming`; an empty `incoming` reads as a time-out. Purge
// discards `incoming` as a real port would, so bytes meant as the answer to a
// request belong in `replies` (one list per Write, moved to `incoming` when
// that write happens) or are produced by `on_write`.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/serial_port.h"

namespace lumera {

class FakeSerialPort : public SerialPort {
 public:
  // Which operation fails on purpose.
  enum class FailAt {
    kNone,
    kOpen,
    kSetBuffers,
    kSetLine,
    kSetTimeouts,
    kWrite
  };

  // --- script ---
  std::deque<ReadResult> incoming;
  std::deque<std::vector<ReadResult>> replies;
  std::function<void(std::span<const std::uint8_t>, FakeSerialPort&)> on_write;
  FailAt fail_at = FailAt::kNone;
  // Bytes Write reports as written, when >= 0 (a short write).
  int short_write = -1;

  // --- record ---
  std::vector<std::string> calls;  // "Open COM3", "Purge", "Write", ...
  std::vector<std::vector<std::uint8_t>> writes;
  std::string opened_name;
  LineSettings line;
  SerialTiming timing;
  int reads = 0;

  static ReadResult Byte(std::uint8_t b) { return {ReadStatus::kByte, b}; }
  static ReadResult Timeout() { return {ReadStatus::kTimeout, 0}; }
  static ReadResult Failure() { return {ReadStatus::kFailed, 0}; }
  static std::vector<ReadResult> Bytes(std::span<const std::uint8_t> bytes) {
    std::vector<ReadResult> out;
    for (std::uint8_t b : bytes) out.push_back(Byte(b));
    return out;
  }
  void Feed(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) incoming.push_back(Byte(b));
  }

  bool Open(std::string_view name) override {
    calls.push_back("Open " + std::string(name));
    if (fail_at == FailAt::kOpen) return Fail(kOpenPortFailedText);
    opened_name = std::string(name);
    open_ = true;
    return true;
  }
  bool SetBuffers(int input_bytes, int output_bytes) override {
    calls.push_back("SetBuffers " + std::to_string(input_bytes) + " " +
                    std::to_string(output_bytes));
    if (fail_at == FailAt::kSetBuffers || !open_)
      return Fail(kSetBuffersFailedText);
    return true;
  }
  bool SetLine(const LineSettings& settings) override {
    calls.push_back("SetLine");
    if (fail_at == FailAt::kSetLine || !open_) return Fail(kSetLineFailedText);
    line = settings;
    return true;
  }
  bool SetTimeouts(const SerialTiming& t) override {
    calls.push_back("SetTimeouts");
    if (fail_at == FailAt::kSetTimeouts || !open_)
      return Fail(kSetTimeoutsFailedText);
    timing = t;
    return true;
  }
  void Purge() override {
    calls.push_back("Purge");
    incoming.clear();
  }
  int Write(std::span<const std::uint8_t> bytes) override {
    calls.push_back("Write");
    if (fail_at == FailAt::kWrite || !open_) {
      Fail(kWriteFailedText);
      return -1;
    }
    writes.emplace_back(bytes.begin(), bytes.end());
    if (!replies.empty()) {
      for (const ReadResult& r : replies.front()) incoming.push_back(r);
      replies.pop_front();
    }
    if (on_write) on_write(bytes, *this);
    return short_write >= 0 ? short_write : static_cast<int>(bytes.size());
  }
  ReadResult ReadByte() override {
    ++reads;
    if (!open_) return Failure();
    if (incoming.empty()) return Timeout();
    ReadResult r = incoming.front();
    incoming.pop_front();
    if (r.status == ReadStatus::kFailed) {
      failure_ = PortFailure{{}, 5, "scripted read failure"};
    }
    return r;
  }
  void Close() override {
    calls.push_back("Close");
    open_ = false;
  }
  bool IsOpen() const override { return open_; }
  const PortFailure& LastFailure() const override { return failure_; }

 private:
  bool Fail(std::string_view message) {
    failure_ = PortFailure{message, 13, "scripted failure"};
    return false;
  }

  bool open_ = false;
  PortFailure failure_;
};

}  // namespace lumera
