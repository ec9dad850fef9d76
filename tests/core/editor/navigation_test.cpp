// "Wejdź" and "Wróć": following jumps and calls into their targets and back.
#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace lumera::testing {
namespace {

TEST_F(EditorTest, CallShowsTargetSegmentAndCommand) {
  store_.SetCommand(0, 0, Command{27, 10, 3});
  FillSegment(3, 12);
  Load(1);
  ASSERT_TRUE(editor_.Enter());
  EXPECT_EQ(editor_.current_segment(), 3);
  EXPECT_EQ(editor_.current_row(), 9);
  EXPECT_EQ(editor_.View().segment_choice, 2);
  EXPECT_EQ(editor_.View().return_caption, "Wróć (1)");
  EXPECT_TRUE(editor_.View().return_enabled);
}

TEST_F(EditorTest, JumpStaysInSegmentAndStillPushes) {
  FillSegment(2, 8);
  store_.SetCommand(1, 0, Command{22, 5, 0});
  Load(2);
  ASSERT_TRUE(editor_.Enter());
  EXPECT_EQ(editor_.current_segment(), 2);
  EXPECT_EQ(editor_.current_row(), 4);
  EXPECT_EQ(editor_.state().return_stack.depth(), 1);
}

TEST_F(EditorTest, NestingStopsAtNineteenAndReturnsToCallingRows) {
  // Row 2 of segment 1 calls row 2 of segment 2, which calls back.
  FillSegment(1, 3);
  FillSegment(2, 3);
  store_.SetCommand(0, 2, Command{27, 3, 2});
  store_.SetCommand(1, 2, Command{24, 3, 1});
  Load(1);
  editor_.SelectCell(2, kCommandColumn);
  for (int depth = 1; depth <= kReturnStackSize; ++depth) {
    ASSERT_TRUE(editor_.Enter()) << depth;
    ASSERT_EQ(editor_.current_row(), 2);
  }
  EXPECT_EQ(editor_.current_segment(), 2);
  EXPECT_FALSE(editor_.Enter());
  EXPECT_EQ(editor_.current_segment(), 2);
  EXPECT_EQ(editor_.View().return_caption, "Wróć (19)");
  for (int depth = kReturnStackSize - 1; depth >= 0; --depth) {
    ASSERT_TRUE(editor_.Return());
    ASSERT_EQ(editor_.current_segment(), depth % 2 == 0 ? 1 : 2);
    ASSERT_EQ(editor_.current_row(), 2);
  }
  EXPECT_FALSE(editor_.Return());
  EXPECT_EQ(editor_.View().return_caption, "Wróć");
  EXPECT_FALSE(editor_.View().return_enabled);
}

struct TargetCase {
  const char* name;
  Command command;
};

class RefusedTargetTest : public EditorTest,
                          public ::testing::WithParamInterface<TargetCase> {};

TEST_P(RefusedTargetTest, EnterChangesNothing) {
  FillSegment(4, 3);
  store_.SetCommand(3, 1, GetParam().command);
  Load(4);
  editor_.SelectCell(1, kCommandColumn);
  EXPECT_FALSE(editor_.Enter());
  EXPECT_EQ(editor_.current_segment(), 4);
  EXPECT_EQ(editor_.current_row(), 1);
  EXPECT_EQ(editor_.state().return_stack.depth(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, RefusedTargetTest,
    ::testing::Values(TargetCase{"CommandZero", {27, 0, 3}},
                      TargetCase{"SegmentZero", {27, 5, 0}},
                      TargetCase{"SegmentEleven", {24, 5, 11}},
                      TargetCase{"JumpToCommandZero", {22, 0, 0}},
                      TargetCase{"NotAJump", {28, 5, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, EnterWritesBackReturnDropsGridEditsButNotComments) {
  store_.SetCommand(0, 0, Command{27, 1, 2});
  FillSegment(2, 2);
  Load(1);
  ASSERT_TRUE(editor_.EditCell(0, kCommentColumn, "wołanie"));
  ASSERT_TRUE(editor_.Enter());
  EXPECT_EQ(store_.comments().Text(0, 0), "wołanie");
  ASSERT_TRUE(editor_.EditCell(0, kCommentColumn, "procedura"));
  ASSERT_TRUE(editor_.EditCell(1, kValue2Column, "99"));
  ASSERT_TRUE(editor_.Return());
  EXPECT_EQ(editor_.current_segment(), 1);
  EXPECT_EQ(store_.comments().Text(1, 0), "procedura");
  EXPECT_EQ(Slot(2, 1), (Command{1, 1, 2}));
}

TEST_F(EditorTest, ChoosingSegmentEmptiesReturnStack) {
  store_.SetCommand(0, 0, Command{22, 1, 0});
  Load(1);
  ASSERT_TRUE(editor_.Enter());
  ASSERT_TRUE(editor_.ChooseSegment(5));
  EXPECT_EQ(editor_.state().return_stack.depth(), 0);
  EXPECT_FALSE(editor_.ChooseSegment(11));
  EXPECT_EQ(editor_.current_segment(), 5);
}

}  // namespace
}  // namespace lumera::testing
