// Kept apart from the walk so that tests of the walk do not pull in the
// system's device namespace.
#ifdef _WIN32
#include <windows.h>

#include <memory>
#else
#include <filesystem>
#include <system_error>
#endif

#include "core/shell/port_discovery.h"

namespace lumera {

#ifdef _WIN32

// Every MS-DOS device name: COM<n> and LPT<n>, drive letters, AUX, NUL and
// whatever drivers defined.
std::vector<DeviceName> SystemDeviceNames(const PortRoots&) {
  const auto buffer = std::make_unique<std::array<char, kDeviceNameListSize>>();
  const DWORD length = ::QueryDosDeviceA(nullptr, buffer->data(),
                                         static_cast<DWORD>(buffer->size()));
  // Zero also when the list does not fit: then no port is listed.
  if (length == 0) return {};
  return SplitDeviceNameList(std::string_view(buffer->data(), length));
}

#else

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

#endif

PortList DiscoverSerialPorts() {
  const std::vector<DeviceName> names = SystemDeviceNames(DefaultPortRoots());
  return DiscoverSerialPorts(names);
}

}  // namespace lumera
