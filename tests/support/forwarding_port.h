// A port the code under test may own and close, forwarding every operation
// to a FakeSerialPort the test keeps and inspects.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/link/serial_port.h"
#include "support/fake_serial_port.h"

namespace lumera {

class ForwardingPort : public SerialPort {
 public:
  explicit ForwardingPort(FakeSerialPort& target) : t_(target) {}
  bool Open(std::string_view name) override { return t_.Open(name); }
  bool SetBuffers(int i, int o) override { return t_.SetBuffers(i, o); }
  bool SetLine(const LineSettings& s) override { return t_.SetLine(s); }
  bool SetTimeouts(const SerialTiming& t) override { return t_.SetTimeouts(t); }
  void Purge() override { t_.Purge(); }
  int Write(std::span<const std::uint8_t> b) override { return t_.Write(b); }
  ReadResult ReadByte() override { return t_.ReadByte(); }
  void Close() override { t_.Close(); }
  bool IsOpen() const override { return t_.IsOpen(); }
  const PortFailure& LastFailure() const override { return t_.LastFailure(); }

 private:
  FakeSerialPort& t_;
};

}  // namespace lumera
