#include "core/print/listing.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

namespace lumera {
namespace {

ProgramImage EmptyImage() {
  ProgramImage image;
  image.fill(0xFF);
  return image;
}

void Put(ProgramImage& image, int segment, int index, Command command) {
  const std::size_t offset = CommandOffset(segment, index);
  image[offset] = command.code;
  image[offset + 1] = command.param1;
  image[offset + 2] = command.param2;
}

// Comments keyed by (segment index, command index).
struct Comments {
  std::map<std::pair<int, int>, std::string> texts;
  CommentLookup Lookup() const {
    return [this](int segment, int command) -> std::string_view {
      auto it = texts.find({segment, command});
      return it == texts.end() ? std::string_view{} : it->second;
    };
  }
};

ListingOptions Options(bool entries_only = false) {
  return ListingOptions{entries_only, 7, "prog_001.prg"};
}

struct RowCase {
  const char* what;
  Command command;
  const char* comment;
  std::string text;
};

class CommandRowText : public testing::TestWithParam<RowCase> {};

TEST_P(CommandRowText, FormatsEveryParameterKind) {
  const RowCase& c = GetParam();
  ProgramImage image = EmptyImage();
  Put(image, 2, 0, c.command);
  Comments comments;
  if (*c.comment) comments.texts[{2, 0}] = c.comment;
  auto pages = ListSegment(image, comments.Lookup(), 3, Options());
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_EQ(pages[0].rows.size(), 1u);
  EXPECT_EQ(pages[0].rows[0].kind, ListingRowKind::kCommand);
  EXPECT_EQ(pages[0].rows[0].text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CommandRowText,
    testing::Values(
        RowCase{"decimal, no comment",
                {1, 1, 5},
                "",
                "001: Włącz wskazane wyjście Wyjście:1   Czas:5  "},
        RowCase{"decimal above 127 stays unsigned",
                {1, 4, 200},
                "",
                "001: Włącz wskazane wyjście Wyjście:4   Czas:200  "},
        RowCase{"signed",
                {11, 0xF1, 7},
                "",
                "001: Rozpal wyjście w czasie Wyjście:-15   Czas:7  "},
        RowCase{"hex",
                {3, 0x0F, 9},
                "",
                "001: Ustaw wyjścia na stan Stan:0Fh   Czas:9  "},
        RowCase{"hex both",
                {31, 0xA0, 0x01},
                "",
                "001: Selekcja sterowników Wynik:A0h   Maska:01h  "},
        RowCase{"unused parameters are single blanks",
                {14, 3, 4},
                "",
                "001: Wygaś wszystkie wyjścia" + std::string(10, ' ')},
        RowCase{"one unused parameter",
                {37, 20, 99},
                "",
                "001: Ustaw mnożnik czasu dla Tasku Mnożnik:20       "},
        RowCase{"comment with Polish letters",
                {0, 0, 0},
                "zażółć gęślą",
                "001: Zatrzymaj program - STOP" + std::string(9, ' ') +
                    "zażółć gęślą"}),
    [](const testing::TestParamInfo<RowCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(Listing, ColumnsAreKeptApart) {
  ProgramImage image = EmptyImage();
  Put(image, 0, 0, {22, 12, 3});
  auto pages = ListSegment(image, nullptr, 1, Options());
  ASSERT_EQ(pages.size(), 1u);
  const ListingRow& row = pages[0].rows[0];
  EXPECT_EQ(row.command_number, 1);
  EXPECT_EQ(row.name, "Skocz do komendy");
  EXPECT_EQ(row.label1, "Rozkaz");
  EXPECT_EQ(row.value1, ":12");
  EXPECT_EQ(row.label2, "Czas");
  EXPECT_EQ(row.value2, ":3");
  EXPECT_EQ(row.comment, " ");
}

TEST(Listing, HeaderNamesSegmentControllerAndFile) {
  EXPECT_EQ(ListingHeader(10, Options()),
            "PROGRAM numer:10    Sterownik:7    PLIK: prog_001.prg");
}

TEST(Listing, DigitCommentBecomesRuledHeadingAboveItsCommand) {
  ProgramImage image = EmptyImage();
  Put(image, 0, 0, {1, 1, 5});
  Put(image, 0, 1, {2, 1, 5});
  Comments comments;
  comments.texts[{0, 1}] = "5Start pompy";
  auto pages = ListSegment(image, comments.Lookup(), 1, Options());
  ASSERT_EQ(pages.size(), 1u);
  const auto& rows = pages[0].rows;
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_FALSE(rows[0].rule_above);
  EXPECT_EQ(rows[1].kind, ListingRowKind::kHeading);
  EXPECT_EQ(rows[1].text, "Start pompy");
  EXPECT_TRUE(rows[1].rule_above);
  EXPECT_TRUE(rows[1].rule_below);
  EXPECT_EQ(rows[2].kind, ListingRowKind::kCommand);
  EXPECT_EQ(rows[2].comment, " ");
  EXPECT_EQ(rows[2].text, "002: Wyłącz wskazane wyjście Wyjście:1   Czas:5  ");
  EXPECT_TRUE(pages[0].closing_rule);
}

struct PagingCase {
  const char* what;
  int commands;        // commands of code 1 from the start, then an end
  std::uint8_t first;  // replaces the first code when not 1
  int heading_at;      // command index with a digit comment, or -1
  std::vector<int> rows_per_page;
  std::vector<bool> closing;
};

class Paging : public testing::TestWithParam<PagingCase> {};

TEST_P(Paging, BreaksPagesAsPrinted) {
  const PagingCase& c = GetParam();
  ProgramImage image = EmptyImage();
  for (int k = 0; k < c.commands; ++k) Put(image, 4, k, {1, 1, 5});
  if (c.first != 1) Put(image, 4, 0, {c.first, 0, 0});
  Comments comments;
  if (c.heading_at >= 0) comments.texts[{4, c.heading_at}] = "1Nagłówek";
  auto pages = ListSegment(image, comments.Lookup(), 5, Options());
  ASSERT_EQ(pages.size(), c.rows_per_page.size()) << c.what;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    EXPECT_EQ(pages[p].rows.size(),
              static_cast<std::size_t>(c.rows_per_page[p]))
        << c.what << " page " << p;
    EXPECT_EQ(pages[p].closing_rule, c.closing[p]) << c.what << " page " << p;
    EXPECT_EQ(pages[p].segment, 5);
    EXPECT_EQ(pages[p].header,
              "PROGRAM numer:5    Sterownik:7    PLIK: prog_001.prg");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, Paging,
    testing::Values(
        PagingCase{"empty segment", 0, 1, -1, {}, {}},
        PagingCase{"first code 64 is not listed", 3, 64, -1, {}, {}},
        PagingCase{"first code without entry below 64", 3, 45, -1, {0}, {true}},
        PagingCase{"30 commands", 30, 1, -1, {30}, {true}},
        PagingCase{"57 commands", 57, 1, -1, {57}, {true}},
        PagingCase{"58 commands", 58, 1, -1, {58, 0}, {false, true}},
        PagingCase{"59 commands", 59, 1, -1, {58, 1}, {false, true}},
        PagingCase{"heading on row 57 pushes its command to row 58",
                   60,
                   1,
                   57,
                   {59, 2},
                   {false, true}},
        PagingCase{"heading on row 56 fills the page",
                   60,
                   1,
                   56,
                   {58, 3},
                   {false, true}},
        PagingCase{"all 255 commands",
                   255,
                   1,
                   -1,
                   {58, 58, 58, 58, 23},
                   {false, false, false, false, true}},
        PagingCase{"zero code is a command",
                   255,
                   0,
                   -1,
                   {58, 58, 58, 58, 23},
                   {false, false, false, false, true}}),
    [](const testing::TestParamInfo<PagingCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(Listing, EntriesOnlyListsCommandsMarkedNineUnderTheirHeadings) {
  ProgramImage image = EmptyImage();
  for (int k = 0; k < 6; ++k)
    Put(image, 0, k, {1, 1, static_cast<std::uint8_t>(k)});
  Comments comments;
  comments.texts[{0, 1}] = "9Wejście A";
  comments.texts[{0, 2}] = "zwykły";
  comments.texts[{0, 3}] = "5Nagłówek";
  comments.texts[{0, 4}] = "9Wejście B";
  auto pages = ListSegment(image, comments.Lookup(), 1, Options(true));
  ASSERT_EQ(pages.size(), 1u);
  const auto& rows = pages[0].rows;
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].text, "Wejście A");
  EXPECT_EQ(rows[1].command_number, 2);
  EXPECT_EQ(rows[2].text, "Wejście B");
  EXPECT_EQ(rows[3].command_number, 5);
  EXPECT_TRUE(pages[0].closing_rule);
}

TEST(Listing, EntriesOnlyWithoutEntriesStillGivesTheHeaderPage) {
  ProgramImage image = EmptyImage();
  for (int k = 0; k < 70; ++k) Put(image, 0, k, {1, 1, 5});
  auto pages = ListSegment(image, nullptr, 1, Options(true));
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(pages[0].rows.empty());
  EXPECT_TRUE(pages[0].closing_rule);
}

TEST(Listing, WholeProgramSkipsEmptySegmentsInOrder) {
  ProgramImage image = EmptyImage();
  Put(image, 1, 0, {1, 1, 5});
  Put(image, 9, 0, {2, 2, 6});
  Put(image, 9, 1, {2, 3, 7});
  auto pages = ListProgram(image, nullptr, Options());
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].segment, 2);
  EXPECT_EQ(pages[0].rows.size(), 1u);
  EXPECT_EQ(pages[1].segment, 10);
  EXPECT_EQ(pages[1].rows.size(), 2u);
  EXPECT_TRUE(ListProgram(EmptyImage(), nullptr, Options()).empty());
}

TEST(Listing, SegmentOutOfRangeGivesNothing) {
  ProgramImage image = EmptyImage();
  Put(image, 0, 0, {1, 1, 5});
  EXPECT_TRUE(ListSegment(image, nullptr, 0, Options()).empty());
  EXPECT_TRUE(ListSegment(image, nullptr, 11, Options()).empty());
}

}  // namespace
}  // namespace lumera
