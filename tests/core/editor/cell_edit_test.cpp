// Editing inside the grid: which cells may be edited, what a typed value
// becomes, a changed command, and comments.
#include <gtest/gtest.h>

#include <string>

#include "core/editor/grid_rows.h"
#include "editor_fixture.h"

namespace lumera::testing {
namespace {

struct TypedCase {
  const char* name;
  std::uint8_t code;
  int column;
  const char* typed;
  const char* shown;
  const char* hex;
};

class TypedValueTest : public EditorTest,
                       public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedValueTest, TypedTextBecomesByteAndRowShowsIt) {
  const TypedCase& c = GetParam();
  store_.SetCommand(0, 0, Command{c.code, 1, 5});
  Load(1);
  ASSERT_TRUE(editor_.EditCell(0, c.column, c.typed));
  EXPECT_EQ(Cell(0, c.column), c.shown);
  EXPECT_EQ(Cell(0, kHexColumn), c.hex);
  // In-grid edits wait for the write-back.
  EXPECT_EQ(Slot(1, 0), (Command{c.code, 1, 5}));
}

INSTANTIATE_TEST_SUITE_P(
    Cells, TypedValueTest,
    ::testing::Values(
        TypedCase{"DecimalKeepsLowByte", 1, kValue1Column, "300", "44",
                  "01,2C,05"},
        TypedCase{"NegativeDecimal", 1, kValue2Column, "-1", "255", "01,01,FF"},
        TypedCase{"NotANumber", 1, kValue1Column, "abc", "0", "01,00,05"},
        TypedCase{"HexOneDigit", 31, kValue1Column, "7", "07h", "1F,07,05"},
        TypedCase{"HexLowerCase", 31, kValue2Column, "a5", "A5h", "1F,01,A5"},
        TypedCase{"SignedShownSigned", 23, kValue1Column, "200", "-56",
                  "17,C8,05"}),
    [](const auto& info) { return std::string(info.param.name); });

struct EditGuardCase {
  const char* name;
  std::uint8_t code;
  int column;
  bool allowed;
};

class EditGuardTest : public EditorTest,
                      public ::testing::WithParamInterface<EditGuardCase> {};

TEST_P(EditGuardTest, RefusedCellsKeepTheirText) {
  const EditGuardCase& c = GetParam();
  store_.SetCommand(0, 0, Command{c.code, 1, 5});
  Load(1);
  const std::string before = Cell(0, c.column);
  EXPECT_EQ(editor_.CanEditCell(0, c.column), c.allowed);
  if (!c.allowed && c.column != kCommandColumn) {
    EXPECT_FALSE(editor_.EditCell(0, c.column, "9"));
    EXPECT_EQ(Cell(0, c.column), before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Columns, EditGuardTest,
    ::testing::Values(EditGuardCase{"Number", 1, kNumberColumn, false},
                      EditGuardCase{"Command", 1, kCommandColumn, true},
                      EditGuardCase{"Label1", 1, kLabel1Column, false},
                      EditGuardCase{"Value1", 1, kValue1Column, true},
                      EditGuardCase{"Label2", 1, kLabel2Column, false},
                      EditGuardCase{"Comment", 1, kCommentColumn, true},
                      EditGuardCase{"Hex", 1, kHexColumn, false},
                      EditGuardCase{"UnusedParam1", 14, kValue1Column, false},
                      EditGuardCase{"UnusedParam2", 14, kValue2Column, false},
                      EditGuardCase{"OutputsPattern", 3, kValue1Column, false},
                      EditGuardCase{"OutputsTime", 3, kValue2Column, true},
                      EditGuardCase{"NothingTime", 15, kValue2Column, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A command outside the catalogue is put back; a changed one keeps the bytes.
TEST_F(EditorTest, ChangedCommandKeepsTheBytes) {
  store_.SetCommand(0, 0, Command{1, 1, 5});
  store_.SetComment(0, 0, "zostaje");
  Load(1);
  EXPECT_FALSE(editor_.ChooseRowCommand(0, 45));
  EXPECT_EQ(RowCommandIndex(editor_.rows().row(0)), kSwitchOnIndex);
  ASSERT_TRUE(editor_.ChooseRowCommand(0, kJumpToSegmentIndex));
  EXPECT_EQ(Cell(0, kLabel1Column), "Rozkaz");
  EXPECT_EQ(Cell(0, kValue1Column), "1");
  EXPECT_EQ(Cell(0, kLabel2Column), "Program");
  EXPECT_EQ(Cell(0, kValue2Column), "5");
  EXPECT_EQ(Cell(0, kCommentColumn), "zostaje");
  editor_.CommitGrid();
  EXPECT_EQ(Slot(1, 0), (Command{24, 1, 5}));
}

TEST_F(EditorTest, ChangingToOutputsCommandTakesThePattern) {
  store_.SetCommand(0, 0, Command{1, 1, 5});
  Load(1);
  editor_.PressOutputButton(2);  // FF -> FD
  ASSERT_TRUE(editor_.ChooseRowCommand(0, kOutputsIndex));
  EXPECT_EQ(Cell(0, kValue1Column), "FDh");
  EXPECT_EQ(Cell(0, kHexColumn), "03,FD,05");
}

struct CommentCase {
  const char* name;
  std::string text;
  bool accepted;
};

class CommentEditTest : public EditorTest,
                        public ::testing::WithParamInterface<CommentCase> {};

TEST_P(CommentEditTest, AcceptedCommentIsStoredAtOnceRefusedIsPutBack) {
  const CommentCase& c = GetParam();
  store_.SetCommand(0, 0, Command{1, 1, 5});
  store_.SetComment(0, 0, "stary");
  Load(1);
  EXPECT_EQ(editor_.EditCell(0, kCommentColumn, c.text), c.accepted);
  const std::string expected = c.accepted ? c.text : "stary";
  EXPECT_EQ(Cell(0, kCommentColumn), expected);
  EXPECT_EQ(store_.comments().Text(0, 0), expected);
}

std::string Repeat(const char* piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Comments, CommentEditTest,
    ::testing::Values(CommentCase{"Polish", "żółć", true},
                      CommentCase{"MaximumLength", Repeat("ą", 199), true},
                      CommentCase{"TooLong", Repeat("a", 200), false},
                      CommentCase{"NotInCodePage", "日本", false},
                      CommentCase{"InvalidUtf8", "a\xFF", false},
                      CommentCase{"LineBreak", "a\nb", false},
                      CommentCase{"Empty", "", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, EditedCommentColoursItsRow) {
  FillSegment(1, 2);
  Load(1);
  ASSERT_TRUE(editor_.EditCell(1, kCommentColumn, "3 grzałka"));
  EXPECT_EQ(Colours(1), (RowColours{{244, 210, 231}, {4, 34, 23}}));
  ASSERT_TRUE(editor_.EditCell(1, kCommentColumn, "grzałka"));
  EXPECT_EQ(Colours(1), kDefaultRowColours);
}

}  // namespace
}  // namespace lumera::testing
