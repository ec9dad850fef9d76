// A port that tells a line trace sink what passes through another port:
// each write as one record, and the bytes read for one reply as a reply and
// the junk around it. The worker puts it in front of the job's port only
// when a sink is set.
#pragma once

#include <array>
#include <chrono>
#include <memory>
#include <utility>

#include "core/link/line_trace.h"
#include "core/link/serial_port.h"

namespace lumera {

inline constexpr int kWholeRead = 1 << 30;

class TracingSerialPort : public SerialPort {
 public:
  using Clock = std::chrono::steady_clock;
  TracingSerialPort(std::unique_ptr<SerialPort> port, LineTraceSink& sink,
                    Clock::time_point start);

  // The request the next frames and reads belong to.
  void SetRequest(std::uint8_t code) { request_code_ = code; }
  // Tells the bytes read since the last call: the last `reply_length` of
  // them as the reply (0: none made a reply; kWholeRead: all of them), the
  // others as junk.
  void FlushReads(int reply_length);

  bool Open(std::string_view name) override { return port_->Open(name); }
  bool SetBuffers(int input_bytes, int output_bytes) override {
    return port_->SetBuffers(input_bytes, output_bytes);
  }
  bool SetLine(const LineSettings& settings) override {
    return port_->SetLine(settings);
  }
  bool SetTimeouts(const SerialTiming& timing) override {
    return port_->SetTimeouts(timing);
  }
  void Purge() override;
  int Write(std::span<const std::uint8_t> bytes) override;
  ReadResult ReadByte() override;
  void Close() override { port_->Close(); }
  void SetAbortCheck(AbortCheck check) override {
    port_->SetAbortCheck(std::move(check));
  }
  bool IsOpen() const override { return port_->IsOpen(); }
  const PortFailure& LastFailure() const override {
    return port_->LastFailure();
  }

 private:
  void Tell(TraceDirection direction, std::span<const std::uint8_t> bytes,
            std::size_t dropped);
  std::chrono::microseconds SinceStart() const;

  std::unique_ptr<SerialPort> port_;
  LineTraceSink& sink_;
  Clock::time_point start_;
  std::uint8_t request_code_ = 0;
  std::array<std::uint8_t, kTraceReadCapacity> read_{};
  std::size_t read_size_ = 0;
  std::size_t read_dropped_ = 0;
};

}  // namespace lumera
