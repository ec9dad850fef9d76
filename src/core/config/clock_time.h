// The system's copy of the controller's real-time clock: hour, minute and
// second as packed BCD, in the order they travel on the wire.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace lumera {

struct ClockTime {
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  std::uint8_t second = 0;
  friend bool operator==(const ClockTime&, const ClockTime&) = default;
};

// Two decimal digits (0..99) packed as tens in the high nibble.
constexpr std::uint8_t ToBcd(int value) {
  return static_cast<std::uint8_t>((value / 10) * 16 + value % 10);
}

// The inverse: a packed value of two decimal digits no greater than `high`;
// nothing for a byte that is not BCD or is beyond `high`.
constexpr std::optional<int> FromBcd(std::uint8_t value, int high) {
  const int tens = value >> 4;
  const int units = value & 0x0F;
  if (tens > 9 || units > 9 || tens * 10 + units > high) return std::nullopt;
  return tens * 10 + units;
}

// Seconds after midnight; nothing for a clock that is no valid BCD time.
std::optional<int> SecondsOfDay(const ClockTime& clock);

// The payload of the clock requests and bytes 5 to 7 of their replies.
constexpr std::array<std::uint8_t, 3> ClockBytes(const ClockTime& clock) {
  return {clock.hour, clock.minute, clock.second};
}

// The clock as the configuration page shows it, "%02X:%02X:%02X": BCD
// bytes read as the decimal time; a byte that is not BCD shows its two
// hexadecimal digits.
std::string ClockText(const ClockTime& clock);

// Hour, minute and second of `local`; date and fractions are ignored.
void FillClockFromLocalTime(const std::tm& local, ClockTime& clock);
// The same from the computer's clock now.
void FillClockFromLocalTime(ClockTime& clock);

}  // namespace lumera
