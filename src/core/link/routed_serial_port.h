// The port a job opens on POSIX systems: a name that resolves to a network
// address (given directly, or a COM<n> file of the ports folder holding
// one) goes to the network backend, everything else to the termios one.
#pragma once

#ifndef _WIN32

#include <utility>

#include "core/link/network_serial_port.h"
#include "core/link/port_names.h"
#include "core/link/posix_serial_port.h"

namespace lumera {

class RoutedSerialPort : public SerialPort {
 public:
  explicit RoutedSerialPort(PortRoots roots = DefaultPortRoots());

  bool Open(std::string_view name) override;
  bool SetBuffers(int input_bytes, int output_bytes) override {
    return active().SetBuffers(input_bytes, output_bytes);
  }
  bool SetLine(const LineSettings& settings) override {
    return active().SetLine(settings);
  }
  bool SetTimeouts(const SerialTiming& timing) override {
    return active().SetTimeouts(timing);
  }
  void Purge() override { active().Purge(); }
  int Write(std::span<const std::uint8_t> bytes) override {
    return active().Write(bytes);
  }
  ReadResult ReadByte() override { return active().ReadByte(); }
  void Close() override { active().Close(); }
  void SetAbortCheck(AbortCheck check) override {
    device_.SetAbortCheck(check);
    network_.SetAbortCheck(std::move(check));
  }
  bool IsOpen() const override { return active().IsOpen(); }
  const PortFailure& LastFailure() const override {
    return active().LastFailure();
  }

 private:
  SerialPort& active() {
    if (network_active_) return network_;
    return device_;
  }
  const SerialPort& active() const {
    if (network_active_) return network_;
    return device_;
  }

  PortRoots roots_;
  PosixSerialPort device_;
  NetworkSerialPort network_;
  bool network_active_ = false;
};

}  // namespace lumera

#endif  // _WIN32
