#include "core/link/network_address.h"

namespace lumera {
namespace {

struct Scheme {
  std::string_view prefix;
  NetworkProtocol protocol;
};
constexpr Scheme kSchemes[] = {
    {"tcp:", NetworkProtocol::kRawTcp},
    {"rfc2217:", NetworkProtocol::kRfc2217},
};

std::optional<std::uint16_t> PortNumber(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value == 0 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<NetworkAddress> ParseNetworkAddress(std::string_view text) {
  NetworkAddress address;
  std::string_view rest;
  for (const Scheme& scheme : kSchemes) {
    if (text.starts_with(scheme.prefix)) {
      address.protocol = scheme.protocol;
      rest = text.substr(scheme.prefix.size());
      break;
    }
  }
  if (rest.empty()) return std::nullopt;
  std::string_view host;
  std::string_view port;
  if (rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos || close + 1 >= rest.size() ||
        rest[close + 1] != ':') {
      return std::nullopt;
    }
    host = rest.substr(1, close - 1);
    port = rest.substr(close + 2);
  } else {
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    host = rest.substr(0, colon);
    port = rest.substr(colon + 1);
    // An IPv6 address needs its brackets, or the port is ambiguous.
    if (host.find(':') != std::string_view::npos) return std::nullopt;
  }
  const std::optional<std::uint16_t> number = PortNumber(port);
  if (host.empty() || !number ||
      host.find_first_of(" \t\r\n/") != std::string_view::npos) {
    return std::nullopt;
  }
  address.host = std::string(host);
  address.port = *number;
  return address;
}

std::string NetworkAddressText(const NetworkAddress& address) {
  std::string text =
      address.protocol == NetworkProtocol::kRfc2217 ? "rfc2217:" : "tcp:";
  if (address.host.find(':') != std::string::npos) {
    text += "[" + address.host + "]";
  } else {
    text += address.host;
  }
  return text + ":" + std::to_string(address.port);
}

}  // namespace lumera
