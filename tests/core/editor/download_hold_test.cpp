// The segments a running download is to replace are held in the editor.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/editor/editor.h"
#include "core/editor/grid_rows.h"
#include "core/model/received_program.h"
#include "editor_fixture.h"

namespace lumera::testing {
namespace {

// Segment 1: a jump into segment 2 and an outputs row, the first commented,
// and a value typed into the grid but not yet written back, so that any
// write-back of segment 1 shows in the store.
struct HeldSegmentOne {
  HeldSegmentOne() : editor_(store_, 1, &download_) {
    editor_.SetUpPage();
    store_.SetCommand(0, 0, Command{24, 1, 2});  // "Skocz do komendy w ..."
    store_.SetCommand(0, 1, Command{3, 0xF0, 0});
    store_.SetComment(0, 0, "skok");
    store_.SetCommand(1, 0, Command{14, 0, 0});
    editor_.LoadSegmentIntoGrid(1, kCommandColumn);
    editor_.ChooseEntry(kAllOffIndex);
    EXPECT_TRUE(editor_.AddCommand(AddMode::kAppend));  // an undo step
    EXPECT_TRUE(editor_.EditCell(0, kValue1Column, "9"));
    before_ = std::make_unique<ProgramStore>(store_);
    rows_before_ = Rows();
    for (int command = 0; command < kCommandsPerSegment; ++command) {
      download_.Ask(0, command);
    }
  }

  std::vector<ClipboardRow> Rows() const {
    return editor_.CopyRows(0, editor_.rows().size());
  }
  bool StoreAsBefore() const {
    return store_.image() == before_->image() &&
           store_.comments() == before_->comments();
  }

  ProgramStore store_;
  ReceivedProgram download_;
  Editor editor_;
  std::unique_ptr<ProgramStore> before_;
  std::vector<ClipboardRow> rows_before_;
};

TEST(DownloadHold, NothingReachesTheHeldSegment) {
  const struct {
    const char* name;
    std::function<void(Editor&)> act;
    bool leaves = false;  // shows another segment
  } cases[] = {
      {"append", [](Editor& e) { e.AddCommand(AddMode::kAppend); }},
      {"delete", [](Editor& e) { e.DeleteCommand(); }},
      {"typed value", [](Editor& e) { e.EditCell(0, kValue1Column, "7"); }},
      {"comment", [](Editor& e) { e.EditCell(0, kCommentColumn, "nowy"); }},
      {"output button on its row",
       [](Editor& e) {
         e.SelectCell(1, kCommandColumn);
         e.PressOutputButton(1);
       }},
      {"paste",
       [](Editor& e) {
         e.PasteRows({{ClipboardRow{{14, 0, 0}, ""}}});
       }},
      {"row moved up",
       [](Editor& e) {
         e.SelectCell(1, kCommandColumn);
         e.MoveCommandUp();
       }},
      {"row moved down",
       [](Editor& e) {
         e.SelectCell(0, kCommandColumn);
         e.MoveCommandDown();
       }},
      {"undo", [](Editor& e) { e.Undo(); }},
      {"print or save", [](Editor& e) { e.CommitGrid(); }},
      {"segment chosen", [](Editor& e) { e.ChooseSegment(2); }, true},
      {"Wejdź",
       [](Editor& e) {
         e.SelectCell(0, kCommandColumn);
         e.Enter();
       },
       true},
      {"controller's position",
       [](Editor& e) { e.ShowControllerPosition(1, 0, {}); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeldSegmentOne held;
    EXPECT_TRUE(held.editor_.View().segment_held);
    c.act(held.editor_);
    EXPECT_TRUE(held.StoreAsBefore());
    EXPECT_EQ(held.editor_.current_segment(), c.leaves ? 2 : 1);
    if (!c.leaves) {
      EXPECT_TRUE(held.Rows() == held.rows_before_);
    }
  }
}

// Another segment is edited and written back as ever; the held one takes
// edits again once the job has ended.
TEST(DownloadHold, EditingGoesOnElsewhereAndResumesAtTheEnd) {
  HeldSegmentOne held;
  Editor& editor = held.editor_;
  ASSERT_TRUE(editor.ChooseSegment(2));
  ASSERT_TRUE(editor.AddCommand(AddMode::kAppend));
  EXPECT_EQ(held.store_.CommandAt(1, 1), (Command{14, 0, 0}));
  ASSERT_TRUE(editor.ChooseSegment(1));
  EXPECT_FALSE(editor.AddCommand(AddMode::kAppend));
  held.download_.JobEnded();
  ASSERT_TRUE(editor.AddCommand(AddMode::kAppend));
  EXPECT_EQ(held.store_.CommandAt(0, 3), (Command{14, 0, 0}));
}

}  // namespace
}  // namespace lumera::testing
