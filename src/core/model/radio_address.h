// A 16-bit radio address of the ZigBee line (a target point or the access
// point), kept as the three fields the user edits. The settings file stores
// it as one word and the radio envelope carries that word.
#pragma once

#include <cstdint>

namespace lumera {

struct RadioAddress {
  std::uint8_t high = 0;    // bits 15-12, 0..15
  std::uint8_t second = 0;  // bits 11-8, 0..15
  std::uint8_t low = 0;     // bits 7-0; typed 0..240, read up to 255

  constexpr std::uint16_t Word() const {
    return static_cast<std::uint16_t>(((high & 0x0F) << 12) |
                                      ((second & 0x0F) << 8) | low);
  }
  // Bits above 15 are dropped.
  static constexpr RadioAddress FromWord(long long value) {
    const auto bits = static_cast<unsigned long long>(value);
    return {static_cast<std::uint8_t>((bits >> 12) & 0x0F),
            static_cast<std::uint8_t>((bits >> 8) & 0x0F),
            static_cast<std::uint8_t>(bits & 0xFF)};
  }
  friend bool operator==(const RadioAddress&, const RadioAddress&) = default;
};

}  // namespace lumera
