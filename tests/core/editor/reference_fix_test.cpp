// "Popraw odwołania": references that follow their commands when rows move,
// in the shown segment and the stored ones, and their undo.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "editor_fixture.h"

namespace lumera::testing {
namespace {

using Commands = std::vector<Command>;

// Segment 1, shown: A, a jump to 4, B, C, a loop on itself, D (its last).
const Commands kSegment1 = {{1, 1, 5}, {22, 4, 0}, {1, 2, 5},
                            {1, 3, 5}, {26, 5, 1}, {14, 0, 0}};
// Segment 2 names commands 4, 2 and 6 of segment 1, and past its end
// (7), command 0, its own command 4, and two commands that are no
// references.
const Commands kSegment2 = {{24, 4, 1}, {27, 2, 1}, {33, 6, 1}, {24, 7, 1},
                            {24, 0, 1}, {22, 4, 0}, {29, 4, 1}, {23, 4, 0}};

class ReferenceFixTest : public EditorTest {
 protected:
  ReferenceFixTest() {
    Put(0, kSegment1);
    Put(1, kSegment2);
    Load(1);
  }
  void Put(int segment_index, const Commands& commands) {
    for (std::size_t k = 0; k < commands.size(); ++k) {
      store_.SetCommand(segment_index, static_cast<int>(k), commands[k]);
    }
  }
  // A segment's list as the store holds it after a write-back.
  Commands List(int segment_index) {
    editor_.CommitGrid();
    Commands list;
    for (int k = 0; k < store_.CommandListLength(segment_index); ++k) {
      list.push_back(store_.CommandAt(segment_index, k));
    }
    return list;
  }
};

struct EditCase {
  const char* name;
  bool fix;
  int row;  // current before the edit
  void (*edit)(Editor&);
  Commands segment1;
  // Segment 2's first three commands (references to 4, 2 and 6 of segment
  // 1) name these; the others stay as they were.
  std::array<std::uint8_t, 3> segment2;
  int fixed;
};

class ReferenceEditTest : public ReferenceFixTest,
                          public ::testing::WithParamInterface<EditCase> {};

TEST_P(ReferenceEditTest, ReferencesFollowTheirCommands) {
  const EditCase& c = GetParam();
  editor_.SetFixReferences(c.fix);
  editor_.SelectCell(c.row, kCommandColumn);
  c.edit(editor_);
  EXPECT_EQ(List(0), c.segment1);
  Commands segment2 = kSegment2;
  for (std::size_t k = 0; k < c.segment2.size(); ++k) {
    segment2[k].param1 = c.segment2[k];
  }
  EXPECT_EQ(List(1), segment2);
  EXPECT_EQ(editor_.TakeFixedReferenceCount(), c.fixed);
}

void Insert(Editor& e) { e.AddCommand(AddMode::kInsert); }
void Append(Editor& e) { e.AddCommand(AddMode::kAppend); }
void Delete(Editor& e) { e.DeleteCommand(); }
void Down(Editor& e) { e.MoveCommandDown(); }
void Up(Editor& e) { e.MoveCommandUp(); }
void Paste(Editor& e) {
  const ClipboardRow rows[] = {{{22, 1, 0}, ""}, {{1, 9, 9}, ""}};
  e.PasteRows(rows);
}
void Cut(Editor& e) { e.CutRows(1, 2); }

constexpr Command kNew{1, 1, 5};  // the chooser's entry 0

// Rows kept one to a line: the table reads as the program does.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Edits, ReferenceEditTest,
    ::testing::Values(
        // Past the old end (7) and command 0 name no command.
        EditCase{"InsertAboveTheTarget", true, 3, Insert,
                 {{1, 1, 5}, {22, 5, 0}, {1, 2, 5}, kNew, {1, 3, 5}, {26, 6, 1}, {14, 0, 0}},
                 {5, 2, 7}, 4},
        EditCase{"InsertUnchecked", false, 3, Insert,
                 {{1, 1, 5}, {22, 4, 0}, {1, 2, 5}, kNew, {1, 3, 5}, {26, 5, 1}, {14, 0, 0}},
                 {4, 2, 6}, 0},
        EditCase{"AppendMovesNothing", true, 3, Append,
                 {{1, 1, 5}, {22, 4, 0}, {1, 2, 5}, {1, 3, 5}, {26, 5, 1}, {14, 0, 0}, kNew},
                 {4, 2, 6}, 0},
        EditCase{"DeleteTheTarget", true, 3, Delete,
                 {{1, 1, 5}, {22, 4, 0}, {1, 2, 5}, {26, 4, 1}, {14, 0, 0}},
                 {4, 2, 5}, 2},
        EditCase{"DeleteTheSegmentsEnd", true, 5, Delete,
                 {{1, 1, 5}, {22, 4, 0}, {1, 2, 5}, {1, 3, 5}, {26, 5, 1}},
                 {4, 2, 6}, 0},
        EditCase{"MoveTheJumpItselfDown", true, 1, Down,
                 {{1, 1, 5}, {1, 2, 5}, {22, 4, 0}, {1, 3, 5}, {26, 5, 1}, {14, 0, 0}},
                 {4, 3, 6}, 1},
        EditCase{"MoveALoopOnItselfUp", true, 4, Up,
                 {{1, 1, 5}, {22, 5, 0}, {1, 2, 5}, {26, 4, 1}, {1, 3, 5}, {14, 0, 0}},
                 {5, 2, 6}, 3},
        // The pasted rows keep the numbers they came with.
        EditCase{"PasteAtTheTop", true, 0, Paste,
                 {{22, 1, 0}, {1, 9, 9}, {1, 1, 5}, {22, 6, 0}, {1, 2, 5}, {1, 3, 5}, {26, 7, 1}, {14, 0, 0}},
                 {6, 4, 8}, 5},
        EditCase{"CutTheJumpAndItsNeighbour", true, 0, Cut,
                 {{1, 1, 5}, {1, 3, 5}, {26, 3, 1}, {14, 0, 0}},
                 {2, 2, 4}, 3}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(ReferenceFixTest, OneUndoTakesBackRowsAndReferencesAndRedoRepeats) {
  editor_.SelectCell(3, kCommandColumn);
  ASSERT_TRUE(editor_.AddCommand(AddMode::kInsert));
  const Commands inserted1 = List(0);
  const Commands inserted2 = List(1);
  ASSERT_NE(inserted2, kSegment2);
  ASSERT_TRUE(editor_.Undo());
  EXPECT_EQ(List(0), kSegment1);
  EXPECT_EQ(List(1), kSegment2);
  EXPECT_FALSE(editor_.CanUndo());
  ASSERT_TRUE(editor_.Redo());
  EXPECT_EQ(List(0), inserted1);
  EXPECT_EQ(List(1), inserted2);
}

// "Wróć" drops what was not written back: a move must not leave segment 2
// naming the new order over the old one.
TEST_F(ReferenceFixTest, AMoveThatChangedAnotherSegmentIsWrittenBackAtOnce) {
  editor_.SelectCell(1, kCommandColumn);
  ASSERT_TRUE(editor_.MoveCommandDown());
  EXPECT_EQ(Slot(1, 2), (Command{22, 4, 0}));
  EXPECT_EQ(Slot(2, 1), (Command{27, 3, 1}));
}

// A step of segment 2 taken back after segment 1's rows moved must not
// bring back numbers that now name other commands, and the move's own undo
// still finds the references it changed.
TEST_F(ReferenceFixTest, StepsOfOtherSegmentsFollowTheMovedRows) {
  ASSERT_TRUE(editor_.ChooseSegment(2));
  editor_.SelectCell(7, kCommandColumn);
  ASSERT_TRUE(editor_.DeleteCommand());  // segment 2's own step
  ASSERT_TRUE(editor_.ChooseSegment(1));
  editor_.SelectCell(3, kCommandColumn);
  ASSERT_TRUE(editor_.AddCommand(AddMode::kInsert));
  ASSERT_TRUE(editor_.ChooseSegment(2));
  ASSERT_TRUE(editor_.Undo());
  Commands expected = kSegment2;
  expected[0].param1 = 5;
  expected[2].param1 = 7;
  EXPECT_EQ(List(1), expected);
  ASSERT_TRUE(editor_.ChooseSegment(1));
  ASSERT_TRUE(editor_.Undo());
  EXPECT_EQ(List(0), kSegment1);
  EXPECT_EQ(List(1), kSegment2);
}

}  // namespace
}  // namespace lumera::testing
