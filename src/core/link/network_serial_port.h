// A serial port behind a network serial server, with the semantics of the
// local ports: the same time-outs, a purge that discards what waits, and a
// read that fails at once when the connection has gone. "tcp:" streams raw
// bytes (the server's line is set up on the server); "rfc2217:" also sets
// the line and purges the server's receive buffer through telnet.
#pragma once

#ifndef _WIN32

#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "core/link/network_address.h"
#include "core/link/serial_port.h"
#include "core/link/telnet_codec.h"

namespace lumera {

class NetworkSerialPort : public SerialPort {
 public:
  NetworkSerialPort() = default;
  ~NetworkSerialPort() override;
  NetworkSerialPort(const NetworkSerialPort&) = delete;
  NetworkSerialPort& operator=(const NetworkSerialPort&) = delete;

  // `name` is "tcp:HOST:PORT" or "rfc2217:HOST:PORT". Connecting gives up
  // after the write time-out (3 s).
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

 private:
  using Clock = std::chrono::steady_clock;
  enum class Receive { kData, kTimeout, kFailed };

  bool Fail(std::string_view message, int error, std::string_view why = {});
  bool Connect(const NetworkAddress& address);
  // Sends all of `bytes` (already escaped) before `deadline`.
  bool SendRaw(std::span<const std::uint8_t> bytes, Clock::time_point deadline,
               std::string_view message);
  // Waits for more bytes from the server until `deadline`.
  Receive ReceiveMore(Clock::time_point deadline);
  // The next data byte of the received bytes, if one is there.
  bool NextDataByte(std::uint8_t& byte);
  bool SendAnswers(std::string_view message);
  bool telnet() const { return address_.protocol == NetworkProtocol::kRfc2217; }

  int fd_ = -1;
  NetworkAddress address_;
  std::string label_;  // the address as the user wrote it
  SerialTiming timing_;
  TelnetDecoder decoder_;
  std::array<std::uint8_t, 1024> received_{};
  std::size_t received_pos_ = 0;
  std::size_t received_size_ = 0;
  PortFailure failure_;
  AbortCheck abort_check_;
};

}  // namespace lumera

#endif  // _WIN32
