// The telnet layer of an RFC 2217 connection: data bytes escaped on the way
// out, commands and the server's answers taken out of the stream on the way
// in. Fixed buffers only; the port feeds it byte by byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/link/serial_port.h"

namespace lumera {

namespace telnet {
inline constexpr std::uint8_t kIac = 255;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kSe = 240;
inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;
inline constexpr std::uint8_t kComPortOption = 44;

// COM port control commands of the client; the server answers each with
// the same command plus 100.
enum class ComCommand : std::uint8_t {
  kSetBaudRate = 1,
  kSetDataSize = 2,
  kSetParity = 3,
  kSetStopSize = 4,
  kSetControl = 5,
  kPurgeData = 12,
};
inline constexpr std::uint8_t kServerOffset = 100;
inline constexpr std::uint8_t kControlNoFlow = 1;
inline constexpr std::uint8_t kControlDtrOn = 8;
inline constexpr std::uint8_t kControlDtrOff = 9;
inline constexpr std::uint8_t kControlRtsOn = 11;
// Purge only what the server received from the line: its transmit buffer
// may still hold the end of a frame just written.
inline constexpr std::uint8_t kPurgeServerReceive = 1;
}  // namespace telnet

// Bytes to send: a request frame escaped, or a command.
struct TelnetOut {
  std::array<std::uint8_t, 64> bytes{};
  std::size_t size = 0;
  bool Append(std::uint8_t byte);
  std::span<const std::uint8_t> View() const { return {bytes.data(), size}; }
};

// The first bytes a client sends: WILL COM-PORT-OPTION, binary both ways.
TelnetOut TelnetGreeting();

// One COM port control command, `value` in network order, IAC doubled.
TelnetOut ComPortCommand(telnet::ComCommand command,
                         std::span<const std::uint8_t> value);

// The line settings as the server takes them; nothing when they cannot be
// expressed (DTR handshake).
struct ComPortSetup {
  std::array<TelnetOut, 7> commands{};
  std::size_t count = 0;
};
std::optional<ComPortSetup> ComPortLineCommands(const LineSettings& settings);

class TelnetDecoder {
 public:
  // The data byte `byte` stands for, if any. Negotiations the client must
  // answer are collected in `Answers()`.
  std::optional<std::uint8_t> Feed(std::uint8_t byte);

  // Answers to the server's negotiations, to be sent and then cleared.
  const TelnetOut& Answers() const { return answers_; }
  void ClearAnswers() { answers_.size = 0; }

  // The server said DONT COM-PORT-OPTION: it will not set the line.
  bool com_port_refused() const { return com_port_refused_; }
  // Whether the server has answered `command` since the last Forget.
  bool Answered(telnet::ComCommand command) const;
  void ForgetAnswers() { answered_ = 0; }

 private:
  enum class State { kData, kIac, kOption, kSub, kSubIac };
  void Negotiate(std::uint8_t verb, std::uint8_t option);
  void EndSubnegotiation();

  State state_ = State::kData;
  std::uint8_t verb_ = 0;
  std::array<std::uint8_t, 16> sub_{};
  std::size_t sub_size_ = 0;
  std::uint32_t answered_ = 0;
  bool com_port_refused_ = false;
  TelnetOut answers_;
};

}  // namespace lumera
