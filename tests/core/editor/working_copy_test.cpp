// Comments stay with their commands while rows are moved and not yet written
// back, undo gives back the comment a row showed, and a reported position in
// another segment writes the shown one back first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_fixture.h"

namespace lumera::testing {
namespace {

constexpr Command kA{1, 1, 1};
constexpr Command kB{1, 2, 2};

struct ShownRow {
  Command command;
  std::string comment;
  friend bool operator==(const ShownRow&, const ShownRow&) = default;
  friend void PrintTo(const ShownRow& row, std::ostream* os) {
    *os << int{row.command.param1} << " \"" << row.comment << "\"";
  }
};

class WorkingCopyTest : public EditorTest {
 protected:
  // Segment 1: A ("a-kom") and B, A current.
  void SetUp() override {
    store_.ClearSegmentComments(0);
    store_.SetCommand(0, 0, kA);
    store_.SetCommand(0, 1, kB);
    store_.SetComment(0, 0, "a-kom");
    Load(1);
  }
  std::vector<ShownRow> Shown() const {
    std::vector<ShownRow> rows;
    for (int row = 0; row < Rows(); ++row) {
      rows.push_back(
          {editor_.rows().row(row).command, editor_.rows().row(row).comment});
    }
    return rows;
  }
  std::vector<ShownRow> Stored() const {
    std::vector<ShownRow> rows;
    for (int slot = 0; slot < store_.CommandListLength(0); ++slot) {
      rows.push_back(
          {Slot(1, slot), std::string(store_.comments().Text(0, slot))});
    }
    return rows;
  }
};

// A comment typed after "W dół" is stored with the command it was typed at,
// whether the next step reloads without writing back ("Wróć", the end of a
// download) or writes back.
TEST_F(WorkingCopyTest, CommentTypedAfterAMoveStaysWithItsCommand) {
  struct Case {
    const char* name;
    int row;  // edited after the move (B, A)
    bool write_back;
    std::vector<ShownRow> stored;
  };
  const Case cases[] = {
      {"top row, reload", 0, false, {{kA, "a-kom"}, {kB, "nowy"}}},
      {"bottom row, reload", 1, false, {{kA, "nowy"}, {kB, ""}}},
      {"top row, write back", 0, true, {{kB, "nowy"}, {kA, "a-kom"}}},
      {"bottom row, write back", 1, true, {{kB, ""}, {kA, "nowy"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    editor_.SelectCell(0, kCommandColumn);
    ASSERT_TRUE(editor_.MoveCommandDown());
    ASSERT_TRUE(editor_.EditCell(c.row, kCommentColumn, "nowy"));
    if (c.write_back) {
      editor_.CommitGrid();
    } else {
      editor_.ReloadShownSegment();
    }
    EXPECT_EQ(Stored(), c.stored);
    EXPECT_EQ(Shown(), c.stored);
  }
}

// Undo of a comment typed after a move gives back the row's own earlier
// comment, in the rows and in the store.
TEST_F(WorkingCopyTest, UndoOfACommentAfterAMoveRestoresThatRowsComment) {
  for (const int row : {0, 1}) {
    SCOPED_TRACE(row);
    SetUp();
    editor_.ClearAllHistories();
    editor_.SelectCell(0, kCommandColumn);
    ASSERT_TRUE(editor_.MoveCommandDown());
    const std::vector<ShownRow> moved = Shown();
    const std::vector<ShownRow> stored = Stored();
    ASSERT_TRUE(editor_.EditCell(row, kCommentColumn, "nowy"));
    ASSERT_TRUE(editor_.Undo());
    EXPECT_EQ(Shown(), moved);
    EXPECT_EQ(Stored(), stored);
    ASSERT_TRUE(editor_.Redo());
    EXPECT_EQ(Shown()[row].comment, "nowy");
  }
}

// A position reported in another segment writes the shown rows back before
// it shows that segment, as choosing the segment does; one in the shown
// segment keeps the rows as they are.
TEST_F(WorkingCopyTest, ReportedPositionElsewhereWritesTheRowsBackFirst) {
  store_.SetCommand(1, 0, kA);
  struct Case {
    int segment_index;
    std::vector<ShownRow> stored;
    int shown_segment;
  };
  const Case cases[] = {
      {0, {{kA, "a-kom"}, {kB, ""}}, 1},
      {1, {{kB, ""}, {kA, "a-kom"}}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.segment_index);
    SetUp();
    editor_.SelectCell(0, kCommandColumn);
    ASSERT_TRUE(editor_.MoveCommandDown());
    editor_.ShowControllerPosition(c.segment_index, 0, {});
    EXPECT_EQ(Stored(), c.stored);
    EXPECT_EQ(editor_.current_segment(), c.shown_segment);
    if (c.shown_segment == 1) {
      EXPECT_EQ(Shown()[0].command, kB);  // the move is kept
    }
  }
}

// Load and write-back as the store has them: the list ends at the first
// code the catalogue lacks, the slots behind it become FF FF FF on writing
// back and their comments stay.
TEST_F(WorkingCopyTest, LoadEndsAtUnknownCodeAndWriteBackKeepsCommentsBehind) {
  store_.SetCommand(0, 2, Command{45, 0, 0});
  store_.SetCommand(0, 3, kA);
  store_.SetComment(0, 3, "za listą");
  Load(1);
  ASSERT_EQ(Rows(), 2);
  editor_.CommitGrid();
  EXPECT_EQ(Slot(1, 2), kEmptyCommand);
  EXPECT_EQ(Slot(1, 3), kEmptyCommand);
  EXPECT_EQ(store_.comments().Text(0, 3), "za listą");
}

}  // namespace
}  // namespace lumera::testing
