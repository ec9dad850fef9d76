#include "core/model/typed_number.h"

#include <limits>

namespace lumera {

std::uint32_t ReadTypedNumber(std::string_view text) {
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

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace lumera
