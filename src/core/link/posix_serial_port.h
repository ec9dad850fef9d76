// The serial port on POSIX systems, through termios.
#pragma once

#ifndef _WIN32

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "core/link/port_names.h"
#include "core/link/serial_port.h"

namespace lumera {

class PosixSerialPort : public SerialPort {
 public:
  explicit PosixSerialPort(PortRoots roots = DefaultPortRoots());
  ~PosixSerialPort() override;
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  bool Open(std::string_view name) override;
  bool SetBuffers(int input_bytes, int output_bytes) override;
  bool SetLine(const LineSettings& settings) override;
  bool SetTimeouts(const SerialTiming& timing) override;
  void Purge() override;
  int Write(std::span<const std::uint8_t> bytes) override;
  ReadResult ReadByte() override;
  void Close() override;
  void SetAbortCheck(AbortCheck check) override {
    abort_check_ = std::move(check);
  }
  bool IsOpen() const override { return fd_ >= 0; }
  const PortFailure& LastFailure() const override { return failure_; }

  // The device path of the open port (empty when closed).
  const std::string& device() const { return device_; }

 private:
  bool Fail(std::string_view message, int error);
  bool DrainOutput(std::chrono::steady_clock::time_point deadline);

  PortRoots roots_;
  int fd_ = -1;
  std::string device_;
  SerialTiming timing_;
  int baud_rate_ = kLineBaudRate;
  PortFailure failure_;
  AbortCheck abort_check_;
};

}  // namespace lumera

#endif  // _WIN32
