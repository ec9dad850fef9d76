// Network serial ports: "tcp:HOST:PORT" (a raw TCP stream, as Ethernet serial
// servers offer) and "rfc2217:HOST:PORT" (telnet with the COM port control
// option, so that the server sets the line and purges its buffers). HOST may
// be a name, an IPv4 address or an IPv6 address in brackets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumera {

enum class NetworkProtocol { kRawTcp, kRfc2217 };

struct NetworkAddress {
  NetworkProtocol protocol = NetworkProtocol::kRawTcp;
  std::string host;  // without brackets
  std::uint16_t port = 0;
  friend bool operator==(const NetworkAddress&,
                         const NetworkAddress&) = default;
};

// The address `text` names, or nothing when it is not one (a device path, a
// COM<n> name, a port outside 1..65535, an empty host).
std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text);

// "tcp:HOST:PORT" or "rfc2217:HOST:PORT" again.
std::string NetworkAddressText(const NetworkAddress& address);

}  // namespace lumera
