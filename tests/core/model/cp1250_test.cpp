#include "core/model/cp1250.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <set>
#include <string>

namespace lumera {
namespace {

TEST(Cp1250Test, EveryByteRoundTripsThroughUtf8) {
  std::set<std::string> decoded;
  for (int value = 0; value <= 255; ++value) {
    const std::string byte(1, static_cast<char>(value));
    const std::string utf8 = Cp1250ToUtf8(byte);
    decoded.insert(utf8);
    EXPECT_EQ(Utf8ToCp1250(utf8), byte) << value;
  }
  EXPECT_EQ(decoded.size(), 256u);

  std::string all;
  for (int value = 0; value <= 255; ++value)
    all.push_back(static_cast<char>(value));
  EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(all)), all);
}

TEST(Cp1250Test, PolishLettersHaveTheirBytes) {
  struct Case {
    const char* utf8;
    unsigned byte;
  };
  const Case cases[] = {
      {"ą", 0xB9}, {"ć", 0xE6}, {"ę", 0xEA}, {"ł", 0xB3},      {"ń", 0xF1},
      {"ó", 0xF3}, {"ś", 0x9C}, {"ź", 0x9F}, {"ż", 0xBF},      {"Ą", 0xA5},
      {"Ć", 0xC6}, {"Ę", 0xCA}, {"Ł", 0xA3}, {"Ń", 0xD1},      {"Ó", 0xD3},
      {"Ś", 0x8C}, {"Ź", 0x8F}, {"Ż", 0xAF}, {"€", 0x80},      {"„", 0x84},
      {"”", 0x94}, {"–", 0x96}, {"˙", 0xFF}, {"\u00A0", 0xA0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Utf8ToCp1250(c.utf8), std::string(1, static_cast<char>(c.byte)));
    EXPECT_EQ(Cp1250ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8);
  }
}

TEST(Cp1250Test, UndefinedBytesDecodeToC1Controls) {
  for (unsigned byte : {0x81u, 0x83u, 0x88u, 0x90u, 0x98u}) {
    EXPECT_EQ(Cp1250ToUnicode(static_cast<std::uint8_t>(byte)), byte);
  }
  // The other C1 controls have no byte: their values are taken by letters.
  EXPECT_FALSE(UnicodeToCp1250(0x80).has_value());
  EXPECT_FALSE(UnicodeToCp1250(0x9F).has_value());
}

// The C library's own converter is an independent copy of the code page.
TEST(Cp1250Test, DefinedBytesAgreeWithTheSystemConverter) {
  iconv_t converter = iconv_open("UTF-8", "CP1250");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    GTEST_SKIP() << "no CP1250 converter installed";
  }
  int compared = 0;
  for (int value = 0x80; value <= 0xFF; ++value) {
    char in[1] = {static_cast<char>(value)};
    char out[8] = {};
    char* in_ptr = in;
    char* out_ptr = out;
    std::size_t in_left = 1;
    std::size_t out_left = sizeof out;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    if (iconv(converter, &in_ptr, &in_left, &out_ptr, &out_left) ==
        static_cast<std::size_t>(-1)) {
      continue;  // undefined byte
    }
    ++compared;
    EXPECT_EQ(Cp1250ToUtf8(std::string(1, static_cast<char>(value))),
              std::string(out, out_ptr))
        << std::hex << value;
  }
  iconv_close(converter);
  EXPECT_GE(compared, 123);
}

TEST(Cp1250Test, RefusesWhatItCannotHoldAndNamesThePosition) {
  struct Case {
    std::string utf8;
    std::size_t offset;
  };
  const Case cases[] = {
      {"ab\u00F1", 2},          // n with tilde: no byte
      {"zł日", 3},              // CJK
      {"x\U0001F600", 1},       // emoji, four bytes
      {"\u00F8", 0},            // o with stroke
      {"ok\x80", 2},            // stray continuation byte
      {"a\xC0\xAF", 1},         // overlong slash
      {"\xE0\x80\xAF", 0},      // overlong, three bytes
      {"ab\xED\xA0\x80", 2},    // surrogate half
      {"\xF4\x90\x80\x80", 0},  // above U+10FFFF
      {"ł\xC5", 2},             // cut-off sequence at the end
      {"\xE2\x82", 0},          // cut-off euro sign
      {"\xC5z", 0},             // lead byte without continuation
      {"\xFF", 0},              // never a lead byte
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_FALSE(Utf8ToCp1250(c.utf8).has_value());
    EXPECT_EQ(FindCp1250Problem(c.utf8), c.offset);
  }
  EXPECT_FALSE(FindCp1250Problem("Zażółć gęślą jaźń €").has_value());
  EXPECT_EQ(Utf8ToCp1250(""), std::string());
}

TEST(Cp1250Test, DecodesUtf8Lengths) {
  EXPECT_EQ(DecodeUtf8Char("a", 0)->length, 1u);
  EXPECT_EQ(DecodeUtf8Char("ł", 0)->code_point, 0x142u);
  EXPECT_EQ(DecodeUtf8Char("€", 0)->length, 3u);
  EXPECT_EQ(DecodeUtf8Char("\U0010FFFF", 0)->code_point, 0x10FFFFu);
  EXPECT_FALSE(DecodeUtf8Char("a", 1).has_value());
  std::string out;
  AppendUtf8(out, 0x10FFFF);
  AppendUtf8(out, 0x20AC);
  EXPECT_EQ(out, "\U0010FFFF€");
}

}  // namespace
}  // namespace lumera
