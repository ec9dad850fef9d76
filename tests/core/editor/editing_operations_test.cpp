// The editing buttons, the segment chooser, the command chooser with its
// fields and the output buttons.
#include <gtest/gtest.h>

#include "core/editor/grid_rows.h"
#include "editor_fixture.h"

namespace lumera::testing {
namespace {

TEST_F(EditorTest, AppendAndInsertWriteBackAndCommentsFollowRows) {
  FillSegment(1, 2);
  store_.SetComment(0, 1, "drugi");
  Load(1);
  editor_.SelectCell(1, kCommandColumn);
  editor_.ChooseEntry(kAllOffIndex);
  ASSERT_TRUE(editor_.AddCommand(AddMode::kInsert));
  EXPECT_EQ(editor_.current_row(), 1);
  EXPECT_EQ(Slot(1, 1), (Command{14, 0, 0}));
  EXPECT_EQ(Slot(1, 2), (Command{1, 1, 2}));
  EXPECT_EQ(store_.comments().Text(0, 2), "drugi");
  EXPECT_EQ(store_.comments().Text(0, 1), "");
  ASSERT_TRUE(editor_.AddCommand(AddMode::kAppend));
  EXPECT_EQ(editor_.current_row(), 3);
  EXPECT_EQ(Cell(3, kNumberColumn), "  4");
  EXPECT_EQ(Slot(1, 3), (Command{14, 0, 0}));
  EXPECT_EQ(Slot(1, 4), kEmptyCommand);
}

TEST_F(EditorTest, FullSegmentTakesNoMoreCommands) {
  FillSegment(1, kCommandsPerSegment);
  Load(1);
  EXPECT_FALSE(editor_.AddCommand(AddMode::kAppend));
  EXPECT_FALSE(editor_.AddCommand(AddMode::kInsert));
  EXPECT_EQ(Rows(), 255);
  EXPECT_EQ(Slot(1, 0), (Command{1, 0, 1}));
  // The last row is written back too.
  ASSERT_TRUE(editor_.EditCell(254, kValue1Column, "7"));
  editor_.CommitGrid();
  EXPECT_EQ(Slot(1, 254), (Command{1, 7, 255}));
}

TEST_F(EditorTest, FieldValuesAreBoundedWhenAdded) {
  Load(1);
  editor_.ChooseEntry(kWaitForHourIndex);
  EXPECT_EQ(editor_.View().field1_text, "12");
  editor_.SetEntryFieldText(1, "30");
  editor_.SetEntryFieldText(2, "75");
  ASSERT_TRUE(editor_.AddCommand(AddMode::kAppend));
  EXPECT_EQ(Slot(1, 0), (Command{44, 23, 59}));
  // A field that is not a number counts as 0.
  editor_.SetEntryFieldText(1, "x");
  ASSERT_TRUE(editor_.AddCommand(AddMode::kAppend));
  EXPECT_EQ(Slot(1, 1), (Command{44, 0, 59}));
}

TEST_F(EditorTest, UnusedParameterFieldsAreDisabledAndStoreZero) {
  editor_.ChooseEntry(kAllOffIndex);
  const EditorView view = editor_.View();
  EXPECT_FALSE(view.field1_enabled);
  EXPECT_FALSE(view.field2_enabled);
  EXPECT_EQ(view.field1_text, "    ");
  editor_.SetEntryFieldText(1, "7");
  Load(1);
  ASSERT_TRUE(editor_.AddCommand(AddMode::kAppend));
  EXPECT_EQ(Slot(1, 0), (Command{14, 0, 0}));
}

struct DeleteCase {
  const char* name;
  int rows;
  int deleted;
  int current_after;
};

class DeleteTest : public EditorTest,
                   public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, CurrentRowAfterDeleteAndStoreFollows) {
  const DeleteCase& c = GetParam();
  FillSegment(1, c.rows);
  store_.SetComment(0, c.deleted, "usunięty");
  Load(1);
  editor_.SelectCell(c.deleted, kValue2Column);
  ASSERT_TRUE(editor_.DeleteCommand());
  EXPECT_EQ(Rows(), c.rows - 1);
  EXPECT_EQ(editor_.current_row(), c.current_after);
  if (c.current_after >= 0) {
    EXPECT_EQ(editor_.current_column(), kValue2Column);
  }
  EXPECT_EQ(Slot(1, c.rows - 1), kEmptyCommand);
  if (c.deleted < c.rows - 1) {
    EXPECT_EQ(Slot(1, c.deleted),
              (Command{1, static_cast<std::uint8_t>(c.deleted + 1),
                       static_cast<std::uint8_t>(c.deleted + 2)}));
  }
  EXPECT_FALSE(store_.comments().HasComment(0, c.deleted));
}

INSTANTIATE_TEST_SUITE_P(Rows, DeleteTest,
                         ::testing::Values(DeleteCase{"Last", 3, 2, 1},
                                           DeleteCase{"First", 3, 0, 0},
                                           DeleteCase{"Only", 1, 0, -1}),
                         [](const auto& info) {
                           return std::string(info.param.name);
                         });

// On an empty grid only an insert works; it makes the first row.
TEST_F(EditorTest, OperationsNeedingARowDoNothingOnEmptyGrid) {
  Load(1);
  EXPECT_FALSE(editor_.DeleteCommand());
  EXPECT_FALSE(editor_.MoveCommandDown());
  EXPECT_FALSE(editor_.MoveCommandUp());
  EXPECT_FALSE(editor_.Enter());
  EXPECT_FALSE(editor_.PrepareWriteCommand());
  editor_.PressOutputButton(1);
  EXPECT_EQ(Rows(), 0);
  ASSERT_TRUE(editor_.AddCommand(AddMode::kInsert));
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(Slot(1, 0), (Command{1, 1, 5}));
}

TEST_F(EditorTest, MovesSwapRowsButStopAtTheEnds) {
  FillSegment(1, 3);
  store_.SetComment(0, 0, "1 pierwszy");
  Load(1);
  EXPECT_FALSE(editor_.MoveCommandUp());
  ASSERT_TRUE(editor_.MoveCommandDown());
  EXPECT_EQ(editor_.current_row(), 1);
  EXPECT_EQ(Cell(1, kHexColumn), "01,00,01");
  EXPECT_EQ(Cell(1, kNumberColumn), "  2");
  EXPECT_EQ(Colours(1), RowColoursForComment("1"));
  // Moving does not write back.
  EXPECT_EQ(Slot(1, 0), (Command{1, 0, 1}));
  editor_.SelectCell(2, kCommandColumn);
  EXPECT_FALSE(editor_.MoveCommandDown());
  ASSERT_TRUE(editor_.MoveCommandUp());
  EXPECT_EQ(editor_.current_row(), 1);
  EXPECT_EQ(Cell(1, kHexColumn), "01,02,03");
}

TEST_F(EditorTest, ClearListThenSegmentSwitchEmptiesSlotsKeepsComments) {
  FillSegment(1, 4);
  store_.SetCommand(0, 250, Command{1, 1, 1});  // behind the list
  store_.SetComment(0, 1, "zostaje");
  Load(1);
  EXPECT_FALSE(editor_.ClearList([](auto, auto) { return false; }));
  EXPECT_EQ(Rows(), 4);
  std::string asked;
  ASSERT_TRUE(editor_.ClearList([&](std::string_view question, auto) {
    asked = question;
    return true;
  }));
  EXPECT_EQ(asked, "Czy skasować liste rozkazów ?");
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(Slot(1, 0), (Command{1, 0, 1}));
  ASSERT_TRUE(editor_.ChooseSegment(2));
  for (int n = 0; n < kCommandsPerSegment; ++n) {
    ASSERT_EQ(Slot(1, n), kEmptyCommand) << n;
  }
  EXPECT_EQ(store_.comments().Text(0, 1), "zostaje");
}

TEST_F(EditorTest, OutputButtonsToggleOutputsOneToFourOnly) {
  editor_.ChooseEntry(kOutputsIndex);
  EXPECT_EQ(editor_.View().field1_text, "FFh");
  EXPECT_FALSE(editor_.View().field1_enabled);
  editor_.PressOutputButton(1);
  EXPECT_EQ(editor_.state().outputs_pattern, 0xFE);
  EXPECT_EQ(editor_.View().field1_text, "FEh");
  editor_.PressOutputButton(6);
  editor_.PressOutputButton(9);
  EXPECT_EQ(editor_.state().outputs_pattern, 0xFE);
  const EditorView view = editor_.View();
  EXPECT_EQ(view.outputs[0], OutputPicture::kDark);
  EXPECT_EQ(view.outputs[3], OutputPicture::kLit);
  EXPECT_EQ(view.outputs[5], OutputPicture::kNone);
  Load(1);
  ASSERT_TRUE(editor_.AddCommand(AddMode::kAppend));
  EXPECT_EQ(Slot(1, 0), (Command{3, 0xFE, 5}));
}

TEST_F(EditorTest, OutputsRowFollowsButtonsAndSelectionTakesItsPattern) {
  store_.SetCommand(0, 0, Command{1, 1, 5});
  store_.SetCommand(0, 1, Command{3, 0x0A, 5});
  Load(1);
  editor_.SelectCell(1, kCommandColumn);
  EXPECT_EQ(editor_.state().outputs_pattern, 0x0A);
  editor_.PressOutputButton(4);
  EXPECT_EQ(Cell(1, kValue1Column), "02h");
  EXPECT_EQ(Cell(1, kHexColumn), "03,02,05");
  // A row of another command is not touched.
  editor_.SelectCell(0, kCommandColumn);
  editor_.PressOutputButton(1);
  EXPECT_EQ(Cell(0, kHexColumn), "01,01,05");
  EXPECT_EQ(editor_.state().outputs_pattern, 0x03);
}

}  // namespace
}  // namespace lumera::testing
