// What the run-control buttons take from the page, and the controller's
// position shown in the grid.
#include <gtest/gtest.h>

#include <vector>

#include "editor_fixture.h"

namespace lumera::testing {
namespace {

constexpr std::array<std::uint8_t, kRegisterCount> kRegisters{0, 1, 2, 3,
                                                              4, 5, 6, 255};

TEST_F(EditorTest, WriteCommandSendsBytesEditedInTheGrid) {
  FillSegment(2, 6);
  store_.SetCommand(1, 0, Command{22, 3, 0});
  Load(2);
  ASSERT_TRUE(editor_.Enter());
  ASSERT_TRUE(editor_.EditCell(2, kValue1Column, "300"));
  const std::optional<SlotCommand> slot = editor_.PrepareWriteCommand();
  ASSERT_TRUE(slot);
  EXPECT_EQ(*slot, (SlotCommand{1, 2, Command{1, 44, 3}}));
  EXPECT_EQ(Slot(2, 2), (Command{1, 44, 3}));
  EXPECT_EQ(editor_.state().return_stack.depth(), 0);
}

TEST_F(EditorTest, RunControlValuesNameTheSelectedRow) {
  FillSegment(2, 6);
  Load(2);
  editor_.SelectCell(4, kCommandColumn);
  const RunControlValues values = editor_.RunControl();
  EXPECT_EQ(values.current_segment, 2);
  EXPECT_EQ(values.grid_rows, 6);
  EXPECT_EQ(values.selected_row, 4);
  Load(3);
  EXPECT_EQ(editor_.RunControl().selected_row, -1);
}

// On an empty grid only the registers are shown; otherwise the reported
// segment is loaded and its command selected.
TEST_F(EditorTest, ReportedPositionLoadsItsSegmentAndSelectsCommand) {
  FillSegment(5, 12);
  Load(2);
  editor_.ShowControllerPosition(4, 9, kRegisters);
  EXPECT_EQ(editor_.current_segment(), 2);
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(editor_.View().registers[1], "1");
  FillSegment(2, 3);
  Load(2);
  editor_.ShowControllerPosition(4, 9, kRegisters);
  EXPECT_EQ(editor_.current_segment(), 5);
  EXPECT_EQ(editor_.current_row(), 9);
  EXPECT_EQ(Cell(9, kHexColumn), "01,09,0A");
  EXPECT_EQ(editor_.View().registers[7], "255");
}

}  // namespace
}  // namespace lumera::testing
