// Undo and redo of the shown segment, and the clipboard's rows.
#include <algorithm>

#include "core/editor/editor.h"
#include "core/editor/grid_rows.h"

namespace lumera {

Editor::HistoryStep::HistoryStep(Editor& editor)
    : editor_(editor),
      segment_(editor.state_.current_segment),
      before_(editor.Capture()) {}

Editor::HistoryStep::HistoryStep(Editor& editor, int before_comment_row)
    : HistoryStep(editor) {
  if (before_comment_row >= 0 &&
      before_comment_row < static_cast<int>(before_.rows.size())) {
    before_.rows[before_comment_row].comment = std::string(
        editor_.store_.comments().Text(segment_ - 1, before_comment_row));
  }
}

void Editor::HistoryStep::Done() {
  // A segment switch inside the operation would make `before_` another
  // segment's; none of the recorded operations switches.
  if (editor_.state_.current_segment != segment_) return;
  if (editor_.Capture().SameContent(before_)) return;
  editor_.histories_[segment_ - 1].Record(std::move(before_));
}

SegmentSnapshot Editor::Capture() const {
  return CaptureSegment(grid_, store_, state_.current_segment);
}

void Editor::Restore(const SegmentSnapshot& snapshot) {
  const int column = grid_.CurrentColumn();
  {
    const OwnUpdate own(*this);
    RestoreSegment(grid_, store_, state_.current_segment, snapshot, column);
  }
  // The cursor may stand on a code-3 row now: the output buttons follow.
  const int row = ValidCurrentRow();
  if (row >= 0) OnCurrentCellMoved(row, column);
}

bool Editor::CanUndo() const {
  return histories_[state_.current_segment - 1].CanUndo();
}

bool Editor::CanRedo() const {
  return histories_[state_.current_segment - 1].CanRedo();
}

bool Editor::Undo() {
  std::optional<SegmentSnapshot> state =
      histories_[state_.current_segment - 1].Undo(Capture());
  if (!state) return false;
  Restore(*state);
  return true;
}

bool Editor::Redo() {
  std::optional<SegmentSnapshot> state =
      histories_[state_.current_segment - 1].Redo(Capture());
  if (!state) return false;
  Restore(*state);
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

const EditHistory& Editor::History(int segment) const {
  return histories_[std::clamp(segment, 1, kSegmentCount) - 1];
}

std::pair<int, int> Editor::RowRange(int first_row, int count) const {
  const int rows = grid_.RowCount();
  const int first = std::clamp(first_row, 0, rows);
  const int end =
      count <= 0 ? first : std::clamp(first_row + count, first, rows);
  return {first, end};
}

std::vector<ClipboardRow> Editor::CopyRows(int first_row, int count) const {
  const auto [first, end] = RowRange(first_row, count);
  std::vector<ClipboardRow> rows;
  for (int row = first; row < end; ++row) {
    rows.push_back(
        ClipboardRow{RowCommand(row), grid_.CellText(row, kCommentColumn)});
  }
  return rows;
}

std::vector<ClipboardRow> Editor::CutRows(int first_row, int count) {
  const auto [first, end] = RowRange(first_row, count);
  if (first >= end) return {};
  std::vector<ClipboardRow> cut = CopyRows(first, end - first);
  HistoryStep step(*this);
  const int rows = grid_.RowCount();
  const int column = grid_.CurrentColumn();
  grid_.SetCurrentCell(first, kNumberColumn);
  {
    const OwnUpdate own(*this);
    for (int row = end - 1; row >= first; --row) grid_.DeleteRow(row);
  }
  CommitGrid();
  // The slots emptied behind the list lose their comments with the rows.
  const int remaining = grid_.RowCount();
  for (int slot = remaining; slot < rows; ++slot) {
    store_.ClearComment(state_.current_segment - 1, slot);
  }
  {
    const OwnUpdate own(*this);
    RenumberRows(grid_, store_, state_.current_segment);
  }
  const int next = std::min(first, remaining - 1);
  if (next >= 0) grid_.SetCurrentCell(next, column);
  step.Done();
  return cut;
}

int Editor::PasteRows(std::span<const ClipboardRow> rows) {
  const int existing = grid_.RowCount();
  int at = 0;
  if (existing > 0) {
    at = ValidCurrentRow();
    if (at < 0) return 0;
  }
  const int room = kCommandsPerSegment - existing;
  if (rows.empty() || room <= 0) return 0;
  HistoryStep step(*this);
  int pasted = 0;
  {
    const OwnUpdate own(*this);
    for (const ClipboardRow& row : rows) {
      if (pasted == room) break;
      // A code the catalogue lacks cannot be shown: such a row is left out.
      if (RenderCommandRow(grid_, row.command, row.comment, at + pasted,
                           RowMode::kInsert)) {
        ++pasted;
      }
    }
  }
  if (pasted == 0) return 0;
  SelectRow(at);
  CommitGrid();
  {
    const OwnUpdate own(*this);
    RenumberRows(grid_, store_, state_.current_segment);
  }
  step.Done();
  return pasted;
}

}  // namespace lumera
