#include "core/editor/grid_rows.h"

#include <gtest/gtest.h>

#include <vector>

#include "editor_fixture.h"

namespace lumera::testing {
namespace {

TEST_F(EditorTest, FullSegmentFillsNumberedRowsAndShowsTheSegment) {
  FillSegment(4, kCommandsPerSegment);
  Load(4);
  ASSERT_EQ(Rows(), 255);
  EXPECT_EQ(Cell(0, kNumberColumn), "  1");
  EXPECT_EQ(Cell(99, kNumberColumn), "100");
  EXPECT_EQ(Cell(254, kNumberColumn), "255");
  EXPECT_EQ(Cell(254, kLabel1Column), "Wyjście");
  EXPECT_EQ(Cell(254, kValue1Column), "254");
  EXPECT_EQ(Cell(254, kValue2Column), "255");
  EXPECT_EQ(Cell(254, kHexColumn), "01,FE,FF");
  EXPECT_EQ(editor_.current_row(), 0);
  EXPECT_EQ(editor_.current_column(), kCommandColumn);
  EXPECT_EQ(editor_.View().segment_choice, 3);
}

TEST_F(EditorTest, ListEndsAtFirstSlotWithoutEntryAndEmptyGridCommitsFF) {
  FillSegment(2, 10);
  store_.SetCommand(1, 3, Command{45, 0, 0});
  Load(2);
  EXPECT_EQ(Rows(), 3);
  store_.SetCommand(1, 0, Command{0xFF, 1, 1});
  Load(2);
  EXPECT_EQ(Rows(), 0);
  editor_.CommitGrid();
  for (int n = 0; n < kCommandsPerSegment; ++n) {
    ASSERT_EQ(Slot(2, n), kEmptyCommand) << n;
  }
}

TEST_F(EditorTest, SegmentOutsideRangeLoadsSegmentOneAndBecomesCurrent) {
  FillSegment(1, 2);
  Load(3);
  Load(11);
  EXPECT_EQ(editor_.current_segment(), 1);
  EXPECT_EQ(Rows(), 2);
}

struct ColourCase {
  const char* comment;
  RowColours colours;
};

class RowColourTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(RowColourTest, FirstCharacterChoosesColours) {
  EXPECT_EQ(RowColoursForComment(GetParam().comment), GetParam().colours);
}

INSTANTIATE_TEST_SUITE_P(
    Comments, RowColourTest,
    ::testing::Values(ColourCase{"3 pompa", {{244, 210, 231}, {4, 34, 23}}},
                      ColourCase{"0", {{255, 255, 0}, {15, 15, 240}}},
                      ColourCase{"9x", {{255, 0, 0}, {15, 240, 240}}},
                      ColourCase{"8", {{49, 226, 240}, {193, 18, 0}}},
                      ColourCase{"pompa 3", kDefaultRowColours},
                      ColourCase{"", kDefaultRowColours}));

TEST_F(EditorTest, LoadColoursCommentedRowsOnly) {
  FillSegment(1, 3);
  store_.SetComment(0, 0, "3 pompa");
  store_.SetComment(0, 2, "start");
  Load(1);
  EXPECT_EQ(Colours(0), RowColoursForComment("3"));
  EXPECT_EQ(Cell(0, kCommentColumn), "3 pompa");
  EXPECT_EQ(Colours(1), kDefaultRowColours);
  EXPECT_EQ(Colours(2), kDefaultRowColours);
}

}  // namespace
}  // namespace lumera::testing
