// The working copy side of the editor: loading and writing back the shown
// segment, the current cell and the edits typed into cells.
#include "core/editor/editor.h"

#include "core/editor/cell_input.h"
#include "core/editor/grid_rows.h"
#include "core/model/command_catalogue.h"

namespace lumera {
namespace {

constexpr std::uint8_t kOutputsCode = 3;

bool ValidSegmentNumber(int segment) {
  return segment >= 1 && segment <= kSegmentCount;
}

}  // namespace

Editor::Editor(ProgramStore& store, int current_segment,
               const ReceivedProgram* download)
    : store_(store), download_(download) {
  state_.current_segment =
      ValidSegmentNumber(current_segment) ? current_segment : 1;
}

void Editor::SetUpPage() { ChooseEntry(0); }

void Editor::LoadSegmentIntoGrid(int segment, int column) {
  // The rows and CurrentSegment never disagree, or a write-back would put
  // the shown rows into another segment.
  if (!ValidSegmentNumber(segment)) segment = 1;
  state_.current_segment = segment;
  rows_.Load(store_, segment - 1);
  if (rows_.size() > 0) SetCurrentCell(0, column);
}

void Editor::CommitGrid() {
  if (ShownSegmentHeld()) return;
  rows_.WriteBack(store_, state_.current_segment - 1);
}

bool Editor::ShownSegmentHeld() const {
  return download_ != nullptr &&
         download_->Replacing(state_.current_segment - 1);
}

int Editor::ValidCurrentRow() const { return rows_.current_row(); }

void Editor::SetCurrentCell(int row, int column) {
  rows_.SetCurrentCell(row, column);
  CurrentRowChanged();
}

void Editor::SelectRow(int row) { SetCurrentCell(row, rows_.current_column()); }

void Editor::SelectCell(int row, int column) { SetCurrentCell(row, column); }

void Editor::CurrentRowChanged() {
  const int row = ValidCurrentRow();
  if (row >= 0 && RowCommand(row).code == kOutputsCode) {
    ShowOutputsPattern(RowCommand(row).param1);
  }
}

bool Editor::CanEditCell(int row, int column) const {
  if (!rows_.ValidRow(row) || ShownSegmentHeld()) return false;
  const CommandDef* def = CommandDefAt(RowCommandIndex(rows_.row(row)));
  switch (column) {
    case kCommandColumn:
    case kCommentColumn:
      return true;
    case kValue1Column:
      // Code 3's pattern comes only from the output buttons.
      return def != nullptr && def->param1.kind != ParamKind::kNone &&
             def->code != kOutputsCode;
    case kValue2Column:
      return def != nullptr && def->param2.kind != ParamKind::kNone;
    default:
      return false;
  }
}

bool Editor::EditCell(int row, int column, std::string_view text) {
  if (!CanEditCell(row, column) || column == kCommandColumn) return false;
  HistoryStep step(*this);
  if (column == kCommentColumn) {
    if (CheckCommentText(text) != CommentCheck::kAccepted) return false;
    rows_.SetComment(row, text);
    // Stored at once, at the slot that still holds this row's command in
    // the store: a move not yet written back must not carry the comment
    // onto another command.
    const int origin = rows_.row(row).origin;
    if (origin >= 0)
      store_.SetComment(state_.current_segment - 1, origin, text);
  } else {
    const CommandDef& def = *CommandDefAt(RowCommandIndex(rows_.row(row)));
    const int number = column == kValue1Column ? 1 : 2;
    rows_.SetParam(row, number, TypedParamByte(def.Param(number).kind, text));
  }
  step.Done();
  return true;
}

bool Editor::ChooseRowCommand(int row, int index) {
  const CommandDef* def = CommandDefAt(index);
  if (def == nullptr || !CanEditCell(row, kCommandColumn)) return false;
  HistoryStep step(*this);
  // The bytes stay; only the code changes.
  Command command = RowCommand(row);
  command.code = def->code;
  if (def->code == kOutputsCode) {
    command.param1 = state_.outputs_pattern;
    ShowOutputsPattern(state_.outputs_pattern);
  }
  rows_.SetCommand(row, command);
  step.Done();
  return true;
}

}  // namespace lumera
