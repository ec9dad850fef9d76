#include "core/link/telnet_codec.h"

namespace lumera {

using namespace telnet;

bool TelnetOut::Append(std::uint8_t byte) {
  if (size >= bytes.size()) return false;
  bytes[size++] = byte;
  return true;
}

TelnetOut TelnetGreeting() {
  TelnetOut out;
  for (const std::uint8_t byte :
       {kIac, kWill, kComPortOption, kIac, kWill, kBinary, kIac, kDo, kBinary,
        kIac, kWill, kSuppressGoAhead, kIac, kDo, kSuppressGoAhead}) {
    out.Append(byte);
  }
  return out;
}

TelnetOut ComPortCommand(ComCommand command,
                         std::span<const std::uint8_t> value) {
  TelnetOut out;
  for (const std::uint8_t byte : {kIac, kSb, kComPortOption}) out.Append(byte);
  out.Append(static_cast<std::uint8_t>(command));
  for (const std::uint8_t byte : value) {
    out.Append(byte);
    if (byte == kIac) out.Append(kIac);
  }
  out.Append(kIac);
  out.Append(kSe);
  return out;
}

std::optional<ComPortSetup> ComPortLineCommands(const LineSettings& settings) {
  if (settings.dtr == DtrMode::kHandshake || settings.baud_rate <= 0 ||
      settings.data_bits < 5 || settings.data_bits > 8) {
    return std::nullopt;
  }
  std::uint8_t parity = 1;
  switch (settings.parity) {
    case Parity::kNone:
      parity = 1;
      break;
    case Parity::kOdd:
      parity = 2;
      break;
    case Parity::kEven:
      parity = 3;
      break;
    case Parity::kMark:
      parity = 4;
      break;
    case Parity::kSpace:
      parity = 5;
      break;
  }
  std::uint8_t stop = 1;
  if (settings.stop_bits == StopBits::kTwo) stop = 2;
  if (settings.stop_bits == StopBits::kOneAndHalf) stop = 3;
  const auto baud = static_cast<std::uint32_t>(settings.baud_rate);
  const std::uint8_t baud_bytes[] = {static_cast<std::uint8_t>(baud >> 24),
                                     static_cast<std::uint8_t>(baud >> 16),
                                     static_cast<std::uint8_t>(baud >> 8),
                                     static_cast<std::uint8_t>(baud)};
  const std::uint8_t data_bits[] = {
      static_cast<std::uint8_t>(settings.data_bits)};
  const std::uint8_t no_flow[] = {kControlNoFlow};
  const std::uint8_t dtr[] = {
      settings.dtr == DtrMode::kEnabled ? kControlDtrOn : kControlDtrOff};
  const std::uint8_t rts[] = {kControlRtsOn};
  ComPortSetup setup;
  setup.commands[setup.count++] =
      ComPortCommand(ComCommand::kSetBaudRate, baud_bytes);
  setup.commands[setup.count++] =
      ComPortCommand(ComCommand::kSetDataSize, data_bits);
  setup.commands[setup.count++] =
      ComPortCommand(ComCommand::kSetParity, {&parity, 1});
  setup.commands[setup.count++] =
      ComPortCommand(ComCommand::kSetStopSize, {&stop, 1});
  setup.commands[setup.count++] =
      ComPortCommand(ComCommand::kSetControl, no_flow);
  setup.commands[setup.count++] = ComPortCommand(ComCommand::kSetControl, dtr);
  setup.commands[setup.count++] = ComPortCommand(ComCommand::kSetControl, rts);
  return setup;
}

bool TelnetDecoder::Answered(ComCommand command) const {
  return (answered_ >> static_cast<unsigned>(command)) & 1u;
}

std::optional<std::uint8_t> TelnetDecoder::Feed(std::uint8_t byte) {
  switch (state_) {
    case State::kData:
      if (byte == kIac) {
        state_ = State::kIac;
        return std::nullopt;
      }
      return byte;
    case State::kIac:
      state_ = State::kData;
      if (byte == kIac) return byte;
      if (byte == kSb) {
        state_ = State::kSub;
        sub_size_ = 0;
      } else if (byte >= kWill && byte <= kDont) {
        verb_ = byte;
        state_ = State::kOption;
      }
      // Other commands (NOP, go-ahead, break) carry no data.
      return std::nullopt;
    case State::kOption:
      state_ = State::kData;
      Negotiate(verb_, byte);
      return std::nullopt;
    case State::kSub:
      if (byte == kIac) {
        state_ = State::kSubIac;
      } else if (sub_size_ < sub_.size()) {
        sub_[sub_size_++] = byte;
      }
      return std::nullopt;
    case State::kSubIac:
      if (byte == kSe) {
        state_ = State::kData;
        EndSubnegotiation();
      } else {
        state_ = State::kSub;
        if (sub_size_ < sub_.size()) sub_[sub_size_++] = byte;
      }
      return std::nullopt;
  }
  return std::nullopt;
}

void TelnetDecoder::Negotiate(std::uint8_t verb, std::uint8_t option) {
  const bool ours = option == kBinary || option == kSuppressGoAhead ||
                    option == kComPortOption;
  switch (verb) {
    case kDo:
      // The options we want were offered in the greeting; refuse the rest.
      if (!ours) {
        answers_.Append(kIac);
        answers_.Append(kWont);
        answers_.Append(option);
      }
      break;
    case kDont:
      if (option == kComPortOption) com_port_refused_ = true;
      break;
    case kWill:
      if (option != kBinary && option != kSuppressGoAhead) {
        answers_.Append(kIac);
        answers_.Append(kDont);
        answers_.Append(option);
      }
      break;
    default:
      break;
  }
}

void TelnetDecoder::EndSubnegotiation() {
  if (sub_size_ < 2 || sub_[0] != kComPortOption) return;
  const int code = sub_[1] - kServerOffset;
  if (code > 0 && code < 32) answered_ |= 1u << static_cast<unsigned>(code);
}

}  // namespace lumera
