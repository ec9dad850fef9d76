// Kept apart from the walk so that tests of the walk do not pull in the
// system's device namespace.
#include <filesystem>
#include <system_error>

#include "core/shell/port_discovery.h"

namespace lumera {

namespace {

// A ports-folder entry is a link; the user recognises the device it points
// to (a /dev/serial/by-id name, a pseudo-terminal), not the link itself.
std::string ShownDevice(const std::string& device) {
  std::error_code error;
  const std::filesystem::path target =
      std::filesystem::read_symlink(device, error);
  return error || target.empty() ? device : target.string();
}

}  // namespace

std::vector<DeviceName> SystemDeviceNames(const PortRoots& roots) {
  std::vector<DeviceName> names;
  for (const PortEntry& port : ListSerialPorts(roots)) {
    names.push_back(
        {"COM" + std::to_string(port.number), ShownDevice(port.device)});
  }
  return names;
}

PortList DiscoverSerialPorts() {
  const std::vector<DeviceName> names = SystemDeviceNames(DefaultPortRoots());
  return DiscoverSerialPorts(names);
}

}  // namespace lumera
