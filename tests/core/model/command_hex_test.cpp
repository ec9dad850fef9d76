#include "core/model/command_hex.h"

#include <gtest/gtest.h>

namespace lumera {
namespace {

TEST(CommandHexTest, FormatsThreeUpperCaseBytes) {
  EXPECT_EQ(FormatCommandHex(Command{1, 1, 5}), "01,01,05");
  EXPECT_EQ(FormatCommandHex(Command{0xFF, 0xAB, 0x0C}), "FF,AB,0C");
  EXPECT_EQ(FormatCommandHex(Command{0, 0, 0}), "00,00,00");
}

TEST(CommandHexTest, ParseHexByteReadsTypedAndShownForms) {
  struct Case {
    const char* text;
    int value;
  };
  const Case cases[] = {
      {"0Fh", 15},
      {"0F", 15},
      {"F", 15},
      {"Fh", 15},
      {"f", 15},
      {"A5", 165},
      {"a5", 165},
      {"FF0", 255},
      {"5", 5},
      {"5h", 5},
      {"5H", 5},
      {"50", 80},
      {"50h", 80},
      {"00h", 0},
      {"ff", 255},
      // Not a hex digit: counts as 0, never reads outside the text.
      {"", 0},
      {"h", 0},
      {"zz", 0},
      {"Gz", 0},
      {"1x", 16},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseHexByte(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(CommandHexTest, ParseCommandHexReadsFixedColumns) {
  EXPECT_EQ(ParseCommandHex("1B,05,02"), (Command{27, 5, 2}));
  // Separators are not examined.
  EXPECT_EQ(ParseCommandHex("1B;05-02"), (Command{27, 5, 2}));
  // A cut-off text reads its missing parts as empty.
  EXPECT_EQ(ParseCommandHex("1B,0"), (Command{27, 0, 0}));
  EXPECT_EQ(ParseCommandHex("1B,05,2"), (Command{27, 5, 2}));
  EXPECT_EQ(ParseCommandHex(""), (Command{0, 0, 0}));
}

TEST(CommandHexTest, EveryByteSurvivesFormatAndParse) {
  for (int value = 0; value <= 255; ++value) {
    const auto b = static_cast<std::uint8_t>(value);
    const Command command{b, static_cast<std::uint8_t>(255 - value), b};
    EXPECT_EQ(ParseCommandHex(FormatCommandHex(command)), command) << value;
  }
}

}  // namespace
}  // namespace lumera
