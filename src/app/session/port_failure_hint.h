// Why a port did not open, for the status line's tooltip: the system's own
// reason, and what to do when the user may not use serial devices.
#pragma once

#include <QString>
#include <string_view>

#include "core/link/serial_port.h"

namespace lumera {

// The failure's reason (or the port's name when the system gave none); for
// a permission failure also the dialout group the user needs.
QString PortFailureHint(const PortFailure& failure, std::string_view port_name);

}  // namespace lumera
