// Which port a port's name opens, so that two spellings of one port are
// known as one: "3", "com3" and "COM3", COM<n> and the device (or network
// address) the ports folder or the device rules give it, a link and its
// device, tcp: and rfc2217: to one server port.
#pragma once

#include <string>
#include <string_view>

#include "core/link/port_names.h"

namespace lumera {

// Equal for two names that open the same port. A COM<n> that maps to
// nothing is itself; a path that does not exist is its normal form.
std::string PortIdentity(std::string_view port, const PortRoots& roots);

}  // namespace lumera
