#include "core/link/serial_port.h"

namespace lumera {

std::string ComPortName(int number) { return "COM" + std::to_string(number); }

}  // namespace lumera
