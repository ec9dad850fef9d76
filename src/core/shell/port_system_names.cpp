// Kept apart from the walk so that tests of the walk do not pull in the
// system's device namespace.
#include "core/shell/port_discovery.h"

namespace lumera {

std::vector<DeviceName> SystemDeviceNames(const PortRoots& roots) {
  std::vector<DeviceName> names;
  for (const PortEntry& port : ListSerialPorts(roots)) {
    names.push_back({"COM" + std::to_string(port.number), port.device});
  }
  return names;
}

PortList DiscoverSerialPorts() {
  const std::vector<DeviceName> names = SystemDeviceNames(DefaultPortRoots());
  return DiscoverSerialPorts(names);
}

}  // namespace lumera
