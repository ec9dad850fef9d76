#include <gtest/gtest.h>

#include "cli/status_texts.h"

namespace lumera {
namespace {

struct HardwareCase {
  const char* name;
  std::uint8_t switch_byte;
  std::uint8_t flags;
  const char* expected;
};

class HardwareInfoTextTest : public testing::TestWithParam<HardwareCase> {};

TEST_P(HardwareInfoTextTest, ShowsTheSwitchGroupAsThePageDoes) {
  const HardwareCase& c = GetParam();
  ControllerStatus status;
  status.switch_byte = c.switch_byte;
  status.flags = c.flags;
  EXPECT_EQ(HardwareInfoText(status), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, HardwareInfoTextTest,
    testing::Values(
        HardwareCase{"AllOn", 0x00, 0x00,
                     "Przełącznik: 00h\nWłączone pozycje: 1 2 3 4 5 6 7 8\n"
                     "Tempo: nr 8\nStart: nr 16\nPamęć zewnętrzna\n"
                     "Zasilanie: 50Hz\nFlagi: 00h\nMaska wyjść: F0h\n"},
        // Position 1 off gives the internal memory, the flag aside.
        HardwareCase{"AllOff", 0xFF, 0x00,
                     "Przełącznik: FFh\nWłączone pozycje: brak\n"
                     "Tempo: nr 1\nStart: nr 1\nPamięć wewnętrzna\n"
                     "Zasilanie: 50Hz\nFlagi: 00h\nMaska wyjść: F0h\n"},
        HardwareCase{"MixedWithBothFlags", 0x5A, 0x05,
                     "Przełącznik: 5Ah\nWłączone pozycje: 1 3 6 8\n"
                     "Tempo: nr 3\nStart: nr 6\nTylko pamięć wewnętrzna\n"
                     "Zasilanie: DC\nFlagi: 05h\nMaska wyjść: F0h\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VersionTextTest, AVersionReadWithMajorZeroIsShownAsRead) {
  ControllerStatus status;
  SetVersionFromByte(status, 0x07);
  EXPECT_EQ(VersionText(status), "Wersja: 0.7");
}

}  // namespace
}  // namespace lumera
