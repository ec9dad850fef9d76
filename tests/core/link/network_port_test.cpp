#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/link/network_address.h"
#include "core/link/telnet_codec.h"

namespace lumera {
namespace {

TEST(ParseNetworkAddress, TakesBothSchemesAndRejectsTheRest) {
  using P = NetworkProtocol;
  const struct {
    const char* text;
    std::optional<NetworkAddress> address;
  } cases[] = {
      {"tcp:127.0.0.1:4001", NetworkAddress{P::kRawTcp, "127.0.0.1", 4001}},
      {"rfc2217:serial-1.lan:2217",
       NetworkAddress{P::kRfc2217, "serial-1.lan", 2217}},
      {"tcp:[::1]:65535", NetworkAddress{P::kRawTcp, "::1", 65535}},
      {"tcp:::1:4001", std::nullopt},  // IPv6 needs brackets
      {"tcp:host:0", std::nullopt},
      {"tcp:host:65536", std::nullopt},
      {"tcp:host:", std::nullopt},
      {"tcp::4001", std::nullopt},
      {"tcp:host:40x1", std::nullopt},
      {"tcp:a b:1", std::nullopt},
      {"udp:host:1", std::nullopt},
      {"TCP:host:1", std::nullopt},
      {"/dev/ttyUSB0", std::nullopt},
      {"COM3", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseNetworkAddress(c.text), c.address) << c.text;
    if (c.address) {
      EXPECT_EQ(NetworkAddressText(*c.address), c.text);
    }
  }
}

std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

// Feeds `stream` and returns the data bytes that come out.
std::vector<std::uint8_t> Decode(TelnetDecoder& decoder,
                                 const std::vector<std::uint8_t>& stream) {
  std::vector<std::uint8_t> data;
  for (const std::uint8_t byte : stream) {
    if (const auto d = decoder.Feed(byte)) data.push_back(*d);
  }
  return data;
}

TEST(TelnetDecoder, TakesCommandsOutOfTheDataAndAnswersNegotiations) {
  using namespace telnet;
  TelnetDecoder decoder;
  // Data with a doubled 0xFF, a NOP, the server's own negotiations, and its
  // answer to SET-BAUDRATE (101) carrying a doubled 0xFF in its value.
  const std::vector<std::uint8_t> stream = {
      0x88, kIac, kIac, 0x01, kIac,  241,  kIac, kDo,  kBinary,
      kIac, kDo,  1,    kIac, kWill, 5,    0x02, kIac, kSb,
      44,   101,  0,    0,    kIac,  kIac, kIac, kSe,  0x03};
  EXPECT_EQ(Decode(decoder, stream),
            (std::vector<std::uint8_t>{0x88, 0xFF, 0x01, 0x02, 0x03}));
  // DO ECHO refused with WONT, WILL STATUS with DONT; BINARY accepted.
  EXPECT_EQ(Bytes(decoder.Answers().View()),
            (std::vector<std::uint8_t>{kIac, kWont, 1, kIac, kDont, 5}));
  EXPECT_TRUE(decoder.Answered(ComCommand::kSetBaudRate));
  EXPECT_FALSE(decoder.Answered(ComCommand::kSetDataSize));
  EXPECT_FALSE(decoder.com_port_refused());
  Decode(decoder, {kIac, kDont, kComPortOption});
  EXPECT_TRUE(decoder.com_port_refused());
}

TEST(TelnetCodec, LineCommandsCarry38400And8N1WithDtrOff) {
  using namespace telnet;
  const auto setup = ComPortLineCommands(LineSettings{});
  ASSERT_TRUE(setup);
  std::vector<std::vector<std::uint8_t>> commands;
  for (std::size_t i = 0; i < setup->count; ++i) {
    commands.push_back(Bytes(setup->commands[i].View()));
  }
  auto sb = [](const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> out;
    for (const std::uint8_t b : {kIac, kSb, kComPortOption}) out.push_back(b);
    for (const std::uint8_t b : body) out.push_back(b);
    out.push_back(kIac);
    out.push_back(kSe);
    return out;
  };
  const std::vector<std::vector<std::uint8_t>> expected = {
      sb({1, 0x00, 0x00, 0x96, 0x00}),  // 38400
      sb({2, 8}),
      sb({3, 1}),
      sb({4, 1}),
      sb({5, 1}),
      sb({5, 9}),
      sb({5, 11}),
  };
  EXPECT_EQ(commands, expected);
  // A value byte 0xFF is doubled.
  const std::uint8_t value[] = {0xFF};
  EXPECT_EQ(Bytes(ComPortCommand(ComCommand::kSetBaudRate, value).View()),
            sb({1, 0xFF, 0xFF}));
  LineSettings handshake;
  handshake.dtr = DtrMode::kHandshake;
  EXPECT_FALSE(ComPortLineCommands(handshake));
}

}  // namespace
}  // namespace lumera
