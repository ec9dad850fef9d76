#include "core/link/port_identity.h"

#include <filesystem>
#include <optional>

#include "core/link/network_address.h"
#include "core/model/typed_number.h"

namespace lumera {

std::string PortIdentity(std::string_view port, const PortRoots& roots) {
  std::string name(port);
  if (name.size() <= 6 && AllDigits(name)) name = "COM" + name;
  // Windows' own spelling of a COM port.
  if (name.starts_with("\\\\.\\")) name.erase(0, 4);
  if (const std::optional<int> number = ParseTypedComName(name)) {
    const std::optional<std::string> mapped = ResolvePortName(name, roots);
    if (!mapped) return "COM" + std::to_string(*number);
    name = *mapped;
  }
  if (const std::optional<NetworkAddress> address = ParseNetworkAddress(name)) {
    // One server port, whichever protocol speaks to it; host names are
    // not case sensitive.
    std::string host = address->host;
    for (char& c : host) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return "net:" + host + ":" + std::to_string(address->port);
  }
  // Links followed, so that a link and its device are one.
  std::error_code error;
  const std::filesystem::path canonical =
      std::filesystem::weakly_canonical(std::filesystem::path(name), error);
  if (error) return std::filesystem::path(name).lexically_normal().string();
  return canonical.string();
}

}  // namespace lumera
