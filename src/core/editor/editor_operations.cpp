// The editing buttons around the grid, the segment chooser and the return
// stack of "Wejdź" and "Wróć".
#include "core/editor/editor.h"
#include "core/editor/grid_rows.h"
#include "core/model/command_catalogue.h"
#include "core/model/command_references.h"

namespace lumera {
namespace {

constexpr std::uint8_t kOutputsCode = 3;
// "Skocz do komendy" stays in its segment; the other two name one.
constexpr std::uint8_t kJumpCode = 22;
constexpr std::uint8_t kJumpToSegmentCode = 24;

}  // namespace

bool Editor::AddCommand(AddMode mode) {
  const CommandDef* def = CommandDefAt(state_.chosen_index);
  const int rows = rows_.size();
  if (def == nullptr || rows_.full() || ShownSegmentHeld()) return false;
  int row = rows;
  if (mode == AddMode::kInsert && rows > 0) {
    row = ValidCurrentRow();
    if (row < 0) return false;
  } else if (mode == AddMode::kInsert) {
    row = 0;
  }
  const std::int64_t entered1 =
      def->code == kOutputsCode ? state_.outputs_pattern : state_.entry_param1;
  const Command command{def->code, ClampParam(*def, 1, entered1),
                        ClampParam(*def, 2, state_.entry_param2)};
  HistoryStep step(*this);
  rows_.Insert(row, command, {});
  step.RowsMoved(RowMoves::Inserted(rows, row, 1));
  SelectRow(row);
  // Comments follow their rows: the write-back takes them from the rows.
  CommitGrid();
  step.Done();
  return true;
}

bool Editor::DeleteCommand() {
  const int row = ValidCurrentRow();
  if (row < 0 || ShownSegmentHeld()) return false;
  const int rows = rows_.size();
  const int column = rows_.current_column();
  HistoryStep step(*this);
  // The slot that falls behind the list keeps its comment unless it was
  // this row's.
  store_.ClearComment(state_.current_segment - 1, row);
  rows_.Remove(row);
  step.RowsMoved(RowMoves::Removed(rows, row, 1));
  CommitGrid();
  const int next = row == rows - 1 ? row - 1 : row;
  if (next >= 0) SetCurrentCell(next, column);
  step.Done();
  return true;
}

void Editor::MovedRows(HistoryStep& step, int a, int b) {
  // A move stays in the rows until the next write-back, but references it
  // changed in other segments are in the store already: the new order goes
  // there with them, or "Wróć" would drop it under them.
  if (step.RowsMoved(RowMoves::Swapped(rows_.size(), a, b)) > 0) CommitGrid();
}

bool Editor::MoveCommandDown() {
  const int row = ValidCurrentRow();
  if (row < 0 || row >= rows_.size() - 1 || ShownSegmentHeld()) return false;
  HistoryStep step(*this);
  rows_.Move(row + 1, row);
  MovedRows(step, row, row + 1);
  SelectRow(row + 1);
  step.Done();
  return true;
}

bool Editor::MoveCommandUp() {
  const int row = ValidCurrentRow();
  if (row <= 0 || ShownSegmentHeld()) return false;
  HistoryStep step(*this);
  rows_.Move(row, row - 1);
  MovedRows(step, row - 1, row);
  SelectRow(row - 1);
  step.Done();
  return true;
}

bool Editor::ClearList(const ClearListQuestion& ask) {
  if (ShownSegmentHeld() || !ask || !ask(kClearListQuestion, kClearListTitle))
    return false;
  HistoryStep step(*this);
  rows_.Clear();
  step.Done();
  // The store keeps the commands until the next write-back.
  ClearReturnStack();
  return true;
}

bool Editor::ChooseSegment(int segment) {
  if (segment < 1 || segment > kSegmentCount) return false;
  CommitGrid();
  ClearReturnStack();
  LoadSegmentIntoGrid(segment, kCommandColumn);
  return true;
}

void Editor::ShowSegmentAt(int segment, int row) {
  LoadSegmentIntoGrid(segment, kCommandColumn);
  if (row < rows_.size()) SelectRow(row);
}

bool Editor::Enter() {
  if (state_.return_stack.full()) return false;
  const int row = ValidCurrentRow();
  if (row < 0) return false;
  const Command command = RowCommand(row);
  const std::uint8_t code = command.code;
  if (code != kJumpCode && code != kJumpToSegmentCode && code != kCallCode) {
    return false;
  }
  const int target_command = command.param1;
  const int target_segment =
      code == kJumpCode ? state_.current_segment : command.param2;
  // Values typed into the grid are not range-checked; such a target is
  // refused rather than shown somewhere else.
  if (target_segment < 1 || target_segment > kSegmentCount ||
      target_command < 1) {
    return false;
  }
  CommitGrid();
  state_.return_stack.Push(ReturnEntry{state_.current_segment - 1, row});
  ShowSegmentAt(target_segment, target_command - 1);
  return true;
}

bool Editor::Return() {
  const std::optional<ReturnEntry> entry = state_.return_stack.Pop();
  if (!entry) return false;
  // No write-back: what was changed in the rows since the last one is
  // dropped (comments are already stored).
  ShowSegmentAt(entry->segment_index + 1, entry->row);
  return true;
}

}  // namespace lumera
