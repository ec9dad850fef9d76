#include "app/shell/number_fields.h"

#include <algorithm>
#include <cstdint>

namespace lumera {

int ControllerAddressFromField(std::uint32_t number) {
  if (number == 0) return 1;
  return static_cast<int>(std::min<std::uint32_t>(number, 255));
}

std::uint8_t NibbleFromField(std::uint32_t number) {
  return static_cast<std::uint8_t>(number & 0x0F);
}

std::uint8_t RadioLowByteFromField(std::uint32_t number) {
  return static_cast<std::uint8_t>(std::min<std::uint32_t>(number, 240));
}

int TimeByteFromField(std::uint32_t number) {
  return static_cast<int>(std::min<std::uint32_t>(number, 255));
}

}  // namespace lumera
