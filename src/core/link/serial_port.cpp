#include "core/link/serial_port.h"

#include <cerrno>
#include <cstring>

namespace lumera {

std::string ComPortName(int number) { return "COM" + std::to_string(number); }

std::string DescribePortFailure(const PortFailure& failure) {
  std::string reason = failure.reason;
#ifdef _WIN32
  // A Windows error code is no errno: the port always gives its reason as
  // the system words it, and no group grants access to a port there.
  return reason;
#else
  if (reason.empty() && failure.system_error != 0) {
    reason = std::strerror(failure.system_error);
  }
  if (failure.system_error == EACCES || failure.system_error == EPERM) {
    reason +=
        " (dodaj użytkownika do grupy dialout: sudo usermod -aG dialout "
        "$USER, potem zaloguj się ponownie)";
  }
  return reason;
#endif
}

}  // namespace lumera
