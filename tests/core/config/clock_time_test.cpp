#include "core/config/clock_time.h"

#include <gtest/gtest.h>

#include <ctime>

namespace lumera {
namespace {

TEST(ClockTimeTest, ToBcdPacksTensAndUnits) {
  struct Case {
    int value;
    std::uint8_t bcd;
  };
  const Case cases[] = {{0, 0x00},  {5, 0x05},  {9, 0x09},  {10, 0x10},
                        {23, 0x23}, {30, 0x30}, {59, 0x59}, {99, 0x99}};
  for (const Case& test : cases) {
    EXPECT_EQ(ToBcd(test.value), test.bcd) << test.value;
  }
}

TEST(ClockTimeTest, FillFromLocalTimeTakesHourMinuteSecondOnly) {
  struct Case {
    int hour, minute, second, day, year;
    ClockTime expected;
  };
  const Case cases[] = {
      {9, 5, 7, 1, 126, {0x09, 0x05, 0x07}},
      {23, 59, 59, 31, 99, {0x23, 0x59, 0x59}},
      {0, 0, 0, 15, 70, {0x00, 0x00, 0x00}},
      {12, 30, 0, 2, 200, {0x12, 0x30, 0x00}},
      // A leap second stays a valid BCD second.
      {23, 59, 60, 31, 116, {0x23, 0x59, 0x59}},
  };
  for (const Case& test : cases) {
    std::tm local{};
    local.tm_hour = test.hour;
    local.tm_min = test.minute;
    local.tm_sec = test.second;
    local.tm_mday = test.day;
    local.tm_year = test.year;
    ClockTime clock{0xFF, 0xFF, 0xFF};
    FillClockFromLocalTime(local, clock);
    EXPECT_EQ(clock, test.expected)
        << test.hour << ":" << test.minute << ":" << test.second;
    EXPECT_EQ(ClockBytes(clock), (std::array<std::uint8_t, 3>{
                                     test.expected.hour, test.expected.minute,
                                     test.expected.second}));
  }
}

TEST(ClockTimeTest, ComputerClockGivesValidBcd) {
  ClockTime clock{0xFF, 0xFF, 0xFF};
  FillClockFromLocalTime(clock);
  EXPECT_TRUE(SecondsOfDay(clock).has_value());
}

}  // namespace
}  // namespace lumera
