// Rows on the clipboard: both forms read back exactly, foreign text is
// taken only when every line parses, and pastes stop at 255 rows.
#include "core/editor/clipboard_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/editor/grid_rows.h"
#include "editor_fixture.h"

namespace lumera::testing {
namespace {

const std::vector<ClipboardRow> kRows{
    {Command{1, 0, 255}, "Zażółć gęślą jaźń"},
    {Command{31, 0xA5, 0x0F}, ""},
    {Command{3, 0x0E, 0}, "5\tz tabulatorem"},
};

TEST(ClipboardRowsTest, PayloadAndTextGiveBackTheSameRows) {
  std::vector<ClipboardRow> back;
  ASSERT_TRUE(RowsFromPayload(RowsToPayload(kRows), back));
  EXPECT_EQ(back, kRows);
  const std::string text = RowsToText(kRows);
  EXPECT_EQ(text.substr(0, text.find('\n')), "01,00,FF\tZażółć gęślą jaźń");
  const TextRowsResult parsed = RowsFromText(text);
  EXPECT_EQ(parsed.bad_line, 0) << parsed.message;
  EXPECT_EQ(parsed.rows, kRows);
}

TEST(ClipboardRowsTest, DamagedPayloadIsRefusedWhole) {
  const std::string good = RowsToPayload(kRows);
  const std::string damaged[] = {
      good.substr(0, good.size() - 1),  // cut short
      good + "x",                       // trailing bytes
      "XYZ" + good.substr(3),           // not ours
  };
  for (const std::string& payload : damaged) {
    std::vector<ClipboardRow> rows{{Command{1, 1, 1}, "stays"}};
    EXPECT_FALSE(RowsFromPayload(payload, rows));
    EXPECT_EQ(rows.size(), 1u);
  }
}

struct TextCase {
  const char* name;
  const char* text;
  int rows;      // parsed rows when accepted
  int bad_line;  // 0: accepted
};

class RowsFromTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(RowsFromTextTest, AcceptsGridTextOnly) {
  const TextCase& c = GetParam();
  const TextRowsResult result = RowsFromText(c.text);
  EXPECT_EQ(result.bad_line, c.bad_line) << result.message;
  if (c.bad_line == 0) {
    EXPECT_EQ(static_cast<int>(result.rows.size()), c.rows);
  } else {
    EXPECT_TRUE(result.rows.empty());
    EXPECT_NE(result.message.find("wiersz " + std::to_string(c.bad_line)),
              std::string::npos)
        << result.message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RowsFromTextTest,
    ::testing::Values(
        TextCase{"CrLfAndNoLastLineEnd", "01,01,05\ta\r\n0e,00,00", 2, 0},
        TextCase{"HexOnly", "0E,00,00\n", 1, 0}, TextCase{"Empty", "", 0, 0},
        TextCase{"BadSecondLine", "01,01,05\nxx,01,05\n", 0, 2},
        TextCase{"EmptyLineInside", "01,01,05\n\n01,01,05\n", 0, 2},
        TextCase{"UnknownCode", "01,01,05\nFF,FF,FF\n", 0, 2},
        TextCase{"ShortHex", "1,01,05\n", 0, 1},
        TextCase{"SpaceBeforeTab", "01,01,05 \tx\n", 0, 1},
        TextCase{"CommentTooLong",
                 "01,01,05\t"
                 "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                 "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                 "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                 "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n",
                 0, 1},
        TextCase{"CommentOutsideCodePage",
                 "01,01,05\t\xE2\x82\xAC ok\n"
                 "01,01,05\t\xE6\x97\xA5\n",
                 0, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, PasteInsertsBeforeTheCurrentRowAndWritesTheStore) {
  FillSegment(1, 3);
  store_.SetComment(0, 1, "drugi");
  Load(1);
  editor_.SelectCell(1, kCommandColumn);
  const TextRowsResult parsed = RowsFromText("0E,00,00\t3nowy\n1F,A5,0F\n");
  ASSERT_EQ(parsed.bad_line, 0);
  ASSERT_EQ(editor_.PasteRows(parsed.rows), 2);
  EXPECT_EQ(editor_.current_row(), 1);
  EXPECT_EQ(Slot(1, 1), (Command{14, 0, 0}));
  EXPECT_EQ(Slot(1, 2), (Command{31, 0xA5, 0x0F}));
  EXPECT_EQ(Slot(1, 3), (Command{1, 1, 2}));
  EXPECT_EQ(store_.comments().Text(0, 1), "3nowy");
  EXPECT_EQ(store_.comments().Text(0, 3), "drugi");
  EXPECT_EQ(Colours(1), RowColoursForComment("3nowy"));
  EXPECT_EQ(Cell(4, kNumberColumn), "  5");
  // Copy gives the exact rows back.
  EXPECT_EQ(editor_.CopyRows(1, 2), parsed.rows);
}

TEST_F(EditorTest, PasteStopsAt255Rows) {
  FillSegment(1, kCommandsPerSegment - 2);
  Load(1);
  const std::vector<ClipboardRow> rows(5, ClipboardRow{Command{14, 0, 0}, ""});
  EXPECT_EQ(editor_.PasteRows(rows), 2);
  EXPECT_EQ(Rows(), kCommandsPerSegment);
  EXPECT_EQ(Slot(1, 0), (Command{14, 0, 0}));
  EXPECT_EQ(Slot(1, 2), (Command{1, 0, 1}));
  EXPECT_EQ(editor_.PasteRows(rows), 0);
  // The status line keeps both counts when references were renumbered.
  EXPECT_EQ(PasteStatusText(2, 5, 0),
            "Wklejono wierszy: 2 z 5 (segment mieści najwyżej 255 rozkazów).");
  EXPECT_EQ(PasteStatusText(2, 5, 3),
            "Wklejono wierszy: 2 z 5. Poprawiono odwołania: 3");
}

TEST_F(EditorTest, CutRemovesRowsAndTheCommentsLeftBehind) {
  FillSegment(1, 4);
  store_.SetComment(0, 3, "ostatni");
  Load(1);
  const std::vector<ClipboardRow> cut = editor_.CutRows(1, 10);
  ASSERT_EQ(cut.size(), 3u);
  EXPECT_EQ(cut[2], (ClipboardRow{Command{1, 3, 4}, "ostatni"}));
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(Slot(1, 1), kEmptyCommand);
  EXPECT_EQ(store_.Comment(0, 3), nullptr);
  EXPECT_EQ(editor_.current_row(), 0);
}

}  // namespace
}  // namespace lumera::testing
