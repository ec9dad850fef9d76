// The serial port on Windows, through the comm API ("\\.\COM<n>" devices).
#pragma once

#ifdef _WIN32

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/link/serial_port.h"

namespace lumera {

class Win32SerialPort : public SerialPort {
 public:
  Win32SerialPort() = default;
  ~Win32SerialPort() override;
  Win32SerialPort(const Win32SerialPort&) = delete;
  Win32SerialPort& operator=(const Win32SerialPort&) = delete;

  bool Open(std::string_view name) override;
  bool SetBuffers(int input_bytes, int output_bytes) override;
  bool SetLine(const LineSettings& settings) override;
  bool SetTimeouts(const SerialTiming& timing) override;
  void Purge() override;
  int Write(std::span<const std::uint8_t> bytes) override;
  ReadResult ReadByte() override;
  void Close() override;
  void SetAbortCheck(AbortCheck check) override;
  bool IsOpen() const override { return handle_ != nullptr; }
  const PortFailure& LastFailure() const override { return failure_; }

 private:
  bool Fail(std::string_view message, unsigned long error);
  bool AbortAsked() const { return abort_check_ && abort_check_(); }

  // The HANDLE, kept as void* so that this header needs no <windows.h>;
  // nullptr when closed.
  void* handle_ = nullptr;
  std::string device_;
  PortFailure failure_;
  // The read time-out a read honours; the driver's is one slice of it when
  // an abort check is set, and ReadByte reads slice after slice.
  SerialTiming timing_;
  AbortCheck abort_check_;
};

}  // namespace lumera

#endif  // _WIN32
