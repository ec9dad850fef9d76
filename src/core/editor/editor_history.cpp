// Undo and redo of the shown segment, and the clipboard's rows.
#include <algorithm>

#include "core/editor/editor.h"
#include "core/editor/grid_rows.h"
#include "core/model/command_catalogue.h"

namespace lumera {

Editor::HistoryStep::HistoryStep(Editor& editor)
    : editor_(editor),
      segment_(editor.state_.current_segment),
      before_(editor.Capture()) {}

int Editor::HistoryStep::RowsMoved(const RowMoves& moves) {
  const std::size_t outside = references_.outside.size();
  editor_.FixReferences(moves, references_);
  return static_cast<int>(references_.outside.size() - outside);
}

void Editor::HistoryStep::Done() {
  // A segment switch inside the operation would make `before_` another
  // segment's; none of the recorded operations switches.
  if (editor_.state_.current_segment != segment_) return;
  if (editor_.Capture().SameContent(before_)) return;
  editor_.histories_[segment_ - 1].Record(std::move(before_),
                                          std::move(references_));
}

SegmentSnapshot Editor::Capture() const {
  return CaptureSegment(rows_, store_, state_.current_segment);
}

void Editor::Restore(const SegmentSnapshot& snapshot) {
  RestoreSegment(rows_, store_, state_.current_segment, snapshot,
                 rows_.current_column());
  // The cursor may stand on a code-3 row now: the output buttons follow.
  CurrentRowChanged();
}

bool Editor::CanUndo() const {
  return !ShownSegmentHeld() &&
         histories_[state_.current_segment - 1].CanUndo();
}

bool Editor::CanRedo() const {
  return !ShownSegmentHeld() &&
         histories_[state_.current_segment - 1].CanRedo();
}

bool Editor::Undo() {
  if (ShownSegmentHeld()) return false;
  std::optional<HistoryEntry> step =
      histories_[state_.current_segment - 1].Undo(Capture());
  if (!step) return false;
  Restore(step->state);
  UndoReferences(step->references);
  return true;
}

bool Editor::Redo() {
  if (ShownSegmentHeld()) return false;
  std::optional<HistoryEntry> step =
      histories_[state_.current_segment - 1].Redo(Capture());
  if (!step) return false;
  Restore(step->state);
  RedoReferences(step->references);
  return true;
}

void Editor::ClearHistory(int segment) {
  if (segment >= 1 && segment <= kSegmentCount) {
    histories_[segment - 1].Clear();
  }
}

void Editor::ClearAllHistories() {
  for (EditHistory& history : histories_) history.Clear();
}

std::pair<int, int> Editor::RowRange(int first_row, int count) const {
  const int rows = rows_.size();
  const int first = std::clamp(first_row, 0, rows);
  const int end =
      count <= 0 ? first : std::clamp(first_row + count, first, rows);
  return {first, end};
}

std::vector<ClipboardRow> Editor::CopyRows(int first_row, int count) const {
  const auto [first, end] = RowRange(first_row, count);
  std::vector<ClipboardRow> rows;
  for (int row = first; row < end; ++row) {
    rows.push_back(ClipboardRow{RowCommand(row), rows_.row(row).comment});
  }
  return rows;
}

std::vector<ClipboardRow> Editor::CutRows(int first_row, int count) {
  const auto [first, end] = RowRange(first_row, count);
  if (first >= end || ShownSegmentHeld()) return {};
  std::vector<ClipboardRow> cut = CopyRows(first, end - first);
  HistoryStep step(*this);
  const int rows = rows_.size();
  const int column = rows_.current_column();
  for (int row = end - 1; row >= first; --row) rows_.Remove(row);
  step.RowsMoved(RowMoves::Removed(rows, first, end - first));
  CommitGrid();
  // The slots emptied behind the list lose their comments with the rows.
  const int remaining = rows_.size();
  for (int slot = remaining; slot < rows; ++slot) {
    store_.ClearComment(state_.current_segment - 1, slot);
  }
  const int next = std::min(first, remaining - 1);
  if (next >= 0) SetCurrentCell(next, column);
  step.Done();
  return cut;
}

int Editor::PasteRows(std::span<const ClipboardRow> rows) {
  if (ShownSegmentHeld()) return 0;
  const int existing = rows_.size();
  int at = 0;
  if (existing > 0) {
    at = ValidCurrentRow();
    if (at < 0) return 0;
  }
  const int room = kCommandsPerSegment - existing;
  if (rows.empty() || room <= 0) return 0;
  HistoryStep step(*this);
  int pasted = 0;
  for (const ClipboardRow& row : rows) {
    if (pasted == room) break;
    // A code the catalogue lacks cannot be shown: such a row is left out.
    if (FindCommandDef(row.command.code) &&
        rows_.Insert(at + pasted, row.command, row.comment)) {
      ++pasted;
    }
  }
  if (pasted == 0) return 0;
  step.RowsMoved(RowMoves::Inserted(existing, at, pasted));
  SelectRow(at);
  CommitGrid();
  step.Done();
  return pasted;
}

}  // namespace lumera
