#include "app/shell/number_fields.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace lumera {

std::uint32_t ReadFieldNumber(std::string_view text) {
  // Leading spaces are what a refresh leaves for controller number 0.
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (text.empty()) return 0;
  std::uint64_t value = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return 0;
    value = value * 10 + static_cast<std::uint64_t>(ch - '0');
    if (value > std::numeric_limits<std::uint32_t>::max()) return 0;
  }
  return static_cast<std::uint32_t>(value);
}

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
