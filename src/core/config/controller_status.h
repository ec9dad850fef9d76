// What the controller reports about itself and never receives back.
#pragma once

#include <cstdint>
#include <optional>

#include "core/config/clock_time.h"

namespace lumera {

struct ControllerStatus {
  // Bit 7 is switch position 1, bit 0 position 8; a clear bit is "on".
  std::uint8_t switch_byte = 0;
  // Bit 0: internal memory only; bit 2: DC supply (clear: 50 Hz).
  std::uint8_t flags = 0;
  // Bit n-1 set: output n is not configurable.
  std::uint8_t output_mask = 0xF0;
  // 0.0 until a version has been read.
  std::uint8_t version_major = 0;
  std::uint8_t version_minor = 0;
  // As the last clock request read it (the configuration page keeps its
  // own copy, which the user edits); nothing until one has.
  std::optional<ClockTime> clock;

  friend bool operator==(const ControllerStatus&,
                         const ControllerStatus&) = default;
};

inline constexpr std::uint8_t kFlagInternalMemoryOnly = 0x01;
inline constexpr std::uint8_t kFlagDcSupply = 0x04;

// The version byte of a ReadVersion reply: major in the high nibble.
constexpr void SetVersionFromByte(ControllerStatus& status,
                                  std::uint8_t version) {
  status.version_major = static_cast<std::uint8_t>(version >> 4);
  status.version_minor = static_cast<std::uint8_t>(version & 0x0F);
}

}  // namespace lumera
