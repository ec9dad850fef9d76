// Undo and redo of every editing operation, per segment and bounded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/editor/grid_rows.h"
#include "editor_fixture.h"

namespace lumera::testing {
namespace {

// Everything the user can see or save of the page and the store.
struct PageState {
  std::vector<std::array<std::string, kGridColumnCount>> cells;
  std::vector<int> command_indexes;
  std::vector<RowColours> colours;
  ProgramImage image{};
  CommentTable comments;
  bool changed = false;
  friend bool operator==(const PageState&, const PageState&) = default;
};

class HistoryTest : public EditorTest {
 protected:
  PageState State() const {
    PageState state;
    for (int row = 0; row < Rows(); ++row) {
      std::array<std::string, kGridColumnCount> cells;
      for (int column = 0; column < kGridColumnCount; ++column) {
        cells[column] = Cell(row, column);
      }
      state.cells.push_back(cells);
      state.command_indexes.push_back(RowCommandIndex(editor_.rows().row(row)));
      state.colours.push_back(Colours(row));
    }
    state.image = store_.image();
    state.comments = store_.comments();
    state.changed = store_.ProgramImageChanged();
    return state;
  }
  // Segment 1: four commands, a code-3 row at index 2, coloured comments.
  void SetUpProgram() {
    FillSegment(1, 4);
    store_.SetCommand(0, 2, Command{3, 0x0F, 0});
    store_.SetComment(0, 0, "1pierwszy");
    store_.SetComment(0, 3, "czwarty");
    store_.TakeSnapshot();
    Load(1);
  }
};

struct OperationCase {
  const char* name;
  int row;  // selected before the operation
  bool (*run)(Editor&);
};

class UndoRedoTest : public HistoryTest,
                     public ::testing::WithParamInterface<OperationCase> {};

TEST_P(UndoRedoTest, UndoRestoresAndRedoRepeats) {
  const OperationCase& c = GetParam();
  SetUpProgram();
  editor_.SelectCell(c.row, kCommandColumn);
  const PageState before = State();
  EXPECT_FALSE(editor_.CanUndo());
  ASSERT_TRUE(c.run(editor_));
  const PageState after = State();
  ASSERT_NE(after, before);
  ASSERT_TRUE(editor_.CanUndo());
  EXPECT_FALSE(editor_.CanRedo());

  ASSERT_TRUE(editor_.Undo());
  EXPECT_EQ(State(), before);
  EXPECT_FALSE(editor_.CanUndo());
  ASSERT_TRUE(editor_.CanRedo());
  ASSERT_TRUE(editor_.Redo());
  EXPECT_EQ(State(), after);
  ASSERT_TRUE(editor_.Undo());
  EXPECT_EQ(State(), before);
  // The restored grid writes back to the same store.
  editor_.CommitGrid();
  EXPECT_EQ(store_.ProgramImageChanged(), before.changed);
}

const OperationCase kOperations[] = {
    {"Append", 1, [](Editor& e) { return e.AddCommand(AddMode::kAppend); }},
    {"Insert", 1, [](Editor& e) { return e.AddCommand(AddMode::kInsert); }},
    {"Delete", 0, [](Editor& e) { return e.DeleteCommand(); }},
    {"MoveDown", 0, [](Editor& e) { return e.MoveCommandDown(); }},
    {"MoveUp", 3, [](Editor& e) { return e.MoveCommandUp(); }},
    {"ClearList", 1,
     [](Editor& e) {
       return e.ClearList(
           [](std::string_view, std::string_view) { return true; });
     }},
    {"ChooseCommand", 1,
     [](Editor& e) { return e.ChooseRowCommand(1, kSelectIndex); }},
    {"TypeValue", 1,
     [](Editor& e) { return e.EditCell(1, kValue2Column, "77"); }},
    {"EditComment", 3,
     [](Editor& e) { return e.EditCell(3, kCommentColumn, "5inny"); }},
    {"OutputButton", 2,
     [](Editor& e) {
       e.PressOutputButton(1);
       return true;
     }},
    {"Paste", 1,
     [](Editor& e) {
       const std::vector<ClipboardRow> rows{{Command{14, 0, 0}, "2wklejony"},
                                            {Command{1, 9, 9}, ""}};
       return e.PasteRows(rows) == 2;
     }},
    {"Cut", 0, [](Editor& e) { return e.CutRows(2, 2).size() == 2; }},
};

INSTANTIATE_TEST_SUITE_P(Operations, UndoRedoTest,
                         ::testing::ValuesIn(kOperations),
                         [](const auto& info) {
                           return std::string(info.param.name);
                         });

TEST_F(HistoryTest, StepsAreUndoneInReverseAndANewChangeDropsRedo) {
  SetUpProgram();
  editor_.SelectCell(0, kCommandColumn);
  const PageState start = State();
  ASSERT_TRUE(editor_.AddCommand(AddMode::kAppend));
  const PageState one = State();
  ASSERT_TRUE(editor_.EditCell(4, kCommentColumn, "nowy"));
  ASSERT_TRUE(editor_.Undo());
  EXPECT_EQ(State(), one);
  ASSERT_TRUE(editor_.Undo());
  EXPECT_EQ(State(), start);
  EXPECT_FALSE(editor_.Undo());
  ASSERT_TRUE(editor_.Redo());
  EXPECT_EQ(State(), one);
  EXPECT_EQ(editor_.current_row(), 4);  // the cursor as it was
  ASSERT_TRUE(editor_.MoveCommandUp());
  EXPECT_FALSE(editor_.CanRedo());
}

TEST_F(HistoryTest, NothingIsRecordedWhenNothingChanged) {
  SetUpProgram();
  // A refused comment, the same value typed again, a move at the end.
  EXPECT_FALSE(editor_.EditCell(0, kCommentColumn, "a\nb"));
  ASSERT_TRUE(editor_.EditCell(0, kValue1Column, "0"));
  editor_.SelectCell(3, kCommandColumn);
  EXPECT_FALSE(editor_.MoveCommandDown());
  EXPECT_FALSE(editor_.CanUndo());
}

TEST_F(HistoryTest, EachSegmentKeepsItsOwnStepsUntilCleared) {
  SetUpProgram();
  FillSegment(2, 2);
  editor_.SelectCell(0, kCommandColumn);
  ASSERT_TRUE(editor_.DeleteCommand());
  const Command segment1_first = Slot(1, 0);
  ASSERT_TRUE(editor_.ChooseSegment(2));
  EXPECT_FALSE(editor_.CanUndo());
  ASSERT_TRUE(editor_.AddCommand(AddMode::kAppend));
  ASSERT_TRUE(editor_.ChooseSegment(1));
  ASSERT_TRUE(editor_.Undo());
  EXPECT_EQ(Slot(1, 0), (Command{1, 0, 1}));
  EXPECT_NE(Slot(1, 0), segment1_first);
  EXPECT_EQ(Slot(2, 2), (Command{1, 1, 5}));  // segment 2 untouched
  ASSERT_TRUE(editor_.ChooseSegment(2));
  ASSERT_TRUE(editor_.CanUndo());
  editor_.ClearHistory(2);
  EXPECT_FALSE(editor_.CanUndo());
  ASSERT_TRUE(editor_.ChooseSegment(1));
  EXPECT_TRUE(editor_.CanRedo());
  editor_.ClearAllHistories();
  EXPECT_FALSE(editor_.CanRedo());
}

TEST_F(HistoryTest, HistoryIsBoundedAndKeepsTheNewestSteps) {
  SetUpProgram();
  editor_.SelectCell(0, kCommandColumn);
  const int moves = static_cast<int>(kMaxHistorySteps) + 30;
  for (int n = 0; n < moves; ++n) {
    ASSERT_TRUE(n % 2 == 0 ? editor_.MoveCommandDown()
                           : editor_.MoveCommandUp());
  }
  std::size_t undone = 0;
  while (editor_.Undo()) ++undone;
  EXPECT_EQ(undone, kMaxHistorySteps);
  std::size_t redone = 0;
  while (editor_.Redo()) ++redone;
  EXPECT_EQ(redone, kMaxHistorySteps);
}

TEST_F(HistoryTest, ByteBudgetDropsOldStepsOfLongComments) {
  // Full segment, every comment of full length: each step is large.
  FillSegment(1, kCommandsPerSegment);
  const std::string longest(kMaxCommentChars, 'x');
  for (int k = 0; k < kCommandsPerSegment; ++k) {
    store_.SetComment(0, k, longest);
  }
  Load(1);
  editor_.SelectCell(0, kCommandColumn);
  for (int n = 0; n < 60; ++n) {
    ASSERT_TRUE(n % 2 == 0 ? editor_.MoveCommandDown()
                           : editor_.MoveCommandUp());
  }
  std::size_t steps = 0;
  while (editor_.Undo()) ++steps;
  EXPECT_LT(steps, 60u);
  EXPECT_GE(steps, 10u);
}

}  // namespace
}  // namespace lumera::testing
