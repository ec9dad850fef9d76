#ifndef _WIN32

#include "core/link/routed_serial_port.h"

#include <memory>

#include "core/link/network_address.h"

namespace lumera {

RoutedSerialPort::RoutedSerialPort(PortRoots roots)
    : roots_(roots), device_(std::move(roots)) {}

bool RoutedSerialPort::Open(std::string_view name) {
  device_.Close();
  network_.Close();
  const std::optional<std::string> target = ResolvePortName(name, roots_);
  network_active_ = target && ParseNetworkAddress(*target).has_value();
  if (network_active_) return network_.Open(*target);
  return device_.Open(name);
}

std::unique_ptr<SerialPort> CreateSystemSerialPort() {
  return std::make_unique<RoutedSerialPort>();
}

}  // namespace lumera

#endif  // _WIN32
