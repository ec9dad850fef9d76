#include "core/config/clock_time.h"

#include <cstdio>

namespace lumera {

namespace {

// std::tm allows a leap second (60); the clock field holds 0..59.
int Bounded(int value, int high) {
  return value < 0 ? 0 : (value > high ? high : value);
}

}  // namespace

std::optional<int> SecondsOfDay(const ClockTime& clock) {
  const std::optional<int> hour = FromBcd(clock.hour, 23);
  const std::optional<int> minute = FromBcd(clock.minute, 59);
  const std::optional<int> second = FromBcd(clock.second, 59);
  if (!hour || !minute || !second) return std::nullopt;
  return *hour * 3600 + *minute * 60 + *second;
}

std::string ClockText(const ClockTime& clock) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X", clock.hour, clock.minute,
                clock.second);
  return text;
}

void FillClockFromLocalTime(const std::tm& local, ClockTime& clock) {
  clock.hour = ToBcd(Bounded(local.tm_hour, 23));
  clock.minute = ToBcd(Bounded(local.tm_min, 59));
  clock.second = ToBcd(Bounded(local.tm_sec, 59));
}

void FillClockFromLocalTime(ClockTime& clock) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#if defined(_WIN32)
  if (localtime_s(&local, &now) != 0) return;
#else
  if (localtime_r(&now, &local) == nullptr) return;
#endif
  FillClockFromLocalTime(local, clock);
}

}  // namespace lumera
