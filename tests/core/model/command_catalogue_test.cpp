#include "core/model/command_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace lumera {
namespace {

TEST(CommandCatalogueTest, HoldsEachCodeFromZeroTo44Once) {
  const auto& catalogue = CommandCatalogue();
  ASSERT_EQ(catalogue.size(), 45u);
  std::set<int> codes;
  for (const CommandDef& def : catalogue) codes.insert(def.code);
  EXPECT_EQ(codes.size(), 45u);
  EXPECT_EQ(*codes.begin(), 0);
  EXPECT_EQ(*codes.rbegin(), 44);
}

TEST(CommandCatalogueTest, IconIndexIsTablePosition) {
  for (int i = 0; i < kCatalogueSize; ++i) {
    EXPECT_EQ(CommandDefAt(i)->icon_index, i);
  }
  EXPECT_EQ(kIconCount * kIconSize, 690);
}

// Codes out of table order: the chooser's index and the code differ.
TEST(CommandCatalogueTest, FindCommandDefSearchesCodesOutOfOrder) {
  struct Case {
    std::uint8_t code;
    int index;
  };
  const Case cases[] = {{1, 0},   {10, 9},  {13, 10}, {11, 11}, {12, 12},
                        {14, 13}, {17, 14}, {20, 17}, {16, 18}, {21, 19},
                        {36, 34}, {43, 35}, {37, 36}, {38, 37}, {15, 38},
                        {0, 39},  {39, 40}, {42, 43}, {44, 44}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    ASSERT_EQ(FindCommandDef(c.code), c.index);
    EXPECT_EQ(CommandDefForCode(c.code), CommandDefAt(c.index));
  }
  for (int code = 0; code <= 44; ++code) {
    const std::optional<int> index =
        FindCommandDef(static_cast<std::uint8_t>(code));
    ASSERT_TRUE(index.has_value()) << code;
    EXPECT_EQ(CommandDefAt(*index)->code, code);
  }
}

TEST(CommandCatalogueTest, CodesFrom45UpHaveNoEntry) {
  for (int code = 45; code <= 255; ++code) {
    EXPECT_FALSE(FindCommandDef(static_cast<std::uint8_t>(code)).has_value())
        << code;
    EXPECT_EQ(CommandDefForCode(static_cast<std::uint8_t>(code)), nullptr);
  }
}

TEST(CommandCatalogueTest, CommandDefAtRefusesIndexesOutsideTable) {
  EXPECT_EQ(CommandDefAt(-1), nullptr);
  EXPECT_EQ(CommandDefAt(45), nullptr);
  ASSERT_NE(CommandDefAt(44), nullptr);
  EXPECT_EQ(CommandDefAt(44)->code, 44);
}

// Polish texts must be UTF-8 exactly as shown to the user.
TEST(CommandCatalogueTest, NamesAndLabelsAreExact) {
  struct Case {
    int index;
    const char* name;
    const char* label1;
    const char* label2;
  };
  const Case cases[] = {
      {0, "Włącz wskazane wyjście", "Wyjście", "Czas"},
      {10, "Ustaw poziom na wyjściu w czasie z Rejestru 8", "Wyjście",
       "Poziom"},
      {13, "Wygaś wszystkie wyjścia", "       ", "       "},
      {18, "Ładuj timer wartością Rejestru", "Timer", "Rejestr"},
      {19, "Skocz do komendy,gdy Timer nie zero", "Timer", "Rozkaz"},
      {21, "Przeskocz komendy (+/-)", "Przesunięcie", "Czas"},
      {26, "Powrot z procedury", "    ", "    "},
      {35, "Wpisz Rejestr do Rejestru", "Z rejestru", "Do rejestru"},
      {36, "Ustaw mnożnik czasu dla Tasku", "Mnożnik", "       "},
      {37, "Modyfikuj mnożnik czasu (+/-) dla Tasku", "Zmiana", "      "},
      {38, "Nic nie rób", "      ", "Czas"},
      {39, "Zatrzymaj program - STOP", "       ", "       "},
      {41, "ZigBee: ustaw Maskę", "Starszy", "Młodszy"},
      {44, "Czekaj na wskazaną godzinę", "Godzina", "Minuty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    const CommandDef* def = CommandDefAt(c.index);
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->name, c.name);
    EXPECT_EQ(def->param1.label, c.label1);
    EXPECT_EQ(def->param2.label, c.label2);
  }
}

TEST(CommandCatalogueTest, EntriesFollowedByTheEditorHaveTheirTargets) {
  // "Wejdź" follows 22 within the segment, 24 and 27 to another segment.
  EXPECT_EQ(CommandDefForCode(22)->param1.label, "Rozkaz");
  EXPECT_EQ(CommandDefForCode(24)->param2.label, "Program");
  EXPECT_EQ(CommandDefForCode(27)->param2.label, "Segment");
  EXPECT_EQ(CommandDefForCode(3)->param1.kind, ParamKind::kHex);
}

struct FormatCase {
  std::uint8_t code;
  int number;
  std::uint8_t value;
  ParamContext context;
  const char* text;
};

class FormatParamTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatParamTest, FormatsByKind) {
  const FormatCase& c = GetParam();
  const CommandDef* def = CommandDefForCode(c.code);
  ASSERT_NE(def, nullptr);
  EXPECT_EQ(FormatParam(*def, c.number, c.value, c.context), c.text);
}

constexpr ParamContext kRow = ParamContext::kGridRow;
constexpr ParamContext kField = ParamContext::kEntryField;

INSTANTIATE_TEST_SUITE_P(
    Kinds, FormatParamTest,
    ::testing::Values(
        // One byte 0xF1 under each kind that shows it.
        FormatCase{11, 1, 0xF1, kRow, "-15"},
        FormatCase{1, 1, 0xF1, kRow, "241"},
        FormatCase{3, 1, 0xF1, kRow, "F1h"},
        // Hex: two upper-case digits with the suffix.
        FormatCase{3, 1, 0x0F, kRow, "0Fh"}, FormatCase{31, 2, 0, kRow, "00h"},
        FormatCase{40, 1, 0xab, kField, "ABh"},
        // Decimal: no padding; the byte is unsigned even where the range
        // is signed.
        FormatCase{1, 2, 0, kRow, "0"}, FormatCase{1, 2, 255, kField, "255"},
        FormatCase{36, 2, 0xFB, kRow, "251"},
        // Signed: the edges of the two's-complement byte.
        FormatCase{23, 1, 0x7F, kRow, "127"},
        FormatCase{23, 1, 0x80, kRow, "-128"},
        FormatCase{38, 1, 0xFF, kField, "-1"},
        FormatCase{38, 1, 0, kField, "0"},
        // Unused: blanks, three in a row and four in the entry field,
        // whatever the byte, even where the label is not blank.
        FormatCase{14, 1, 0x12, kRow, "   "},
        FormatCase{14, 2, 0, kField, "    "}, FormatCase{21, 2, 7, kRow, "   "},
        FormatCase{0, 1, 0, kRow, "   "}));

struct ClampCase {
  std::uint8_t code;
  int number;
  std::int64_t entered;
  std::uint8_t stored;
};

class ClampParamTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ClampParamTest, BoundsByKind) {
  const ClampCase& c = GetParam();
  const CommandDef* def = CommandDefForCode(c.code);
  ASSERT_NE(def, nullptr);
  EXPECT_EQ(ClampParam(*def, c.number, c.entered), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ClampParamTest,
    ::testing::Values(
        // Signed: first -127..127, then the entry's own range.
        ClampCase{23, 1, -200, 0x81}, ClampCase{23, 1, 300, 0x7F},
        ClampCase{23, 1, -5, 0xFB}, ClampCase{11, 1, -20, 0xF1},
        ClampCase{11, 1, 9, 4}, ClampCase{11, 1, -15, 0xF1},
        ClampCase{38, 1, -128, 0x81}, ClampCase{38, 1, INT64_MIN, 0x81},
        // Decimal: raised to min, lowered to max.
        ClampCase{1, 1, 0, 1}, ClampCase{1, 1, 5, 4}, ClampCase{1, 1, 3, 3},
        ClampCase{44, 1, 30, 23}, ClampCase{44, 2, -1, 0},
        ClampCase{1, 2, 1000, 255}, ClampCase{1, 2, INT64_MAX, 255},
        ClampCase{36, 2, -5, 0xFB}, ClampCase{36, 2, -200, 0x81},
        ClampCase{10, 2, 0, 1}, ClampCase{10, 2, 61, 60},
        // Hex: the low eight bits, whatever the listed range.
        ClampCase{31, 1, 300, 0x2C}, ClampCase{31, 2, -1, 0xFF},
        ClampCase{39, 1, 0x1FF, 0xFF}, ClampCase{3, 1, 0xA5, 0xA5},
        // Unused: always 0.
        ClampCase{14, 1, 77, 0}, ClampCase{21, 2, 5, 0},
        ClampCase{15, 1, -3, 0}, ClampCase{15, 2, 300, 255}));

TEST(CommandCatalogueTest, DefaultsFitTheirOwnRanges) {
  for (const CommandDef& def : CommandCatalogue()) {
    for (int number = 1; number <= 2; ++number) {
      const ParamDef& param = def.Param(number);
      SCOPED_TRACE(std::to_string(def.code) + "/" + std::to_string(number));
      EXPECT_LE(param.min, param.max);
      if (param.kind == ParamKind::kDecimal ||
          param.kind == ParamKind::kSigned) {
        EXPECT_GE(param.default_value, param.min);
        EXPECT_LE(param.default_value, param.max);
      }
      if (param.kind == ParamKind::kNone) {
        EXPECT_EQ(param.default_value, 0);
      }
    }
  }
}

}  // namespace
}  // namespace lumera
