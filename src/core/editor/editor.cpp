// The grid side of the editor: loading and writing back the shown segment,
// and the grid's notifications.
#include "core/editor/editor.h"

#include "core/editor/cell_input.h"
#include "core/editor/grid_rows.h"
#include "core/model/command_catalogue.h"
#include "core/model/command_hex.h"

namespace lumera {
namespace {

constexpr std::uint8_t kOutputsCode = 3;

bool ValidSegmentNumber(int segment) {
  return segment >= 1 && segment <= kSegmentCount;
}

}  // namespace

Editor::OwnUpdate::OwnUpdate(Editor& editor) : editor_(editor) {
  ++editor_.own_updates_;
  editor_.grid_.BeginUpdate();
}

Editor::OwnUpdate::~OwnUpdate() {
  editor_.grid_.EndUpdate();
  --editor_.own_updates_;
}

Editor::Editor(CommandGrid& grid, ProgramStore& store, int current_segment)
    : grid_(grid), store_(store) {
  state_.current_segment =
      ValidSegmentNumber(current_segment) ? current_segment : 1;
}

void Editor::SetUpPage() {
  SetUpGrid(grid_);
  ChooseEntry(0);
}

void Editor::LoadSegmentIntoGrid(int segment, int column) {
  // The grid and CurrentSegment never disagree, or a write-back would put
  // the shown rows into another segment.
  if (!ValidSegmentNumber(segment)) segment = 1;
  state_.current_segment = segment;
  if (segment_shown_) segment_shown_(segment);
  {
    const OwnUpdate own(*this);
    grid_.DeleteAllRows();
    FillGridFromStore(grid_, store_, segment);
  }
  if (grid_.RowCount() > 0) grid_.SetCurrentCell(0, column);
}

void Editor::CommitGrid() {
  lumera::CommitGrid(grid_, store_, state_.current_segment);
}

int Editor::ValidCurrentRow() const {
  const int row = grid_.CurrentRow();
  return row >= 0 && row < grid_.RowCount() ? row : -1;
}

std::optional<std::uint8_t> Editor::RowCode(int row) const {
  const CommandDef* def = CommandDefAt(grid_.CommandIndex(row));
  if (def == nullptr) return std::nullopt;
  return def->code;
}

Command Editor::RowCommand(int row) const {
  return ParseCommandHex(grid_.CellText(row, kHexColumn));
}

void Editor::SelectRow(int row) {
  grid_.SetCurrentCell(row, grid_.CurrentColumn());
}

void Editor::OnCurrentCellMoved(int row, int /*column*/) {
  if (row < 0 || row >= grid_.RowCount()) return;
  if (RowCode(row) == kOutputsCode) {
    ShowOutputsPattern(RowCommand(row).param1);
  }
}

bool Editor::OnBeforeCellEdit(int row, int column) {
  if (row < 0 || row >= grid_.RowCount()) return false;
  const CommandDef* def = CommandDefAt(grid_.CommandIndex(row));
  switch (column) {
    case kCommandColumn:
    case kCommentColumn:
      return true;
    case kValue1Column:
      // Code 3's pattern comes only from the output buttons.
      return def != nullptr && def->param1.kind != ParamKind::kNone &&
             (def->code != kOutputsCode || own_updates_ > 0);
    case kValue2Column:
      return def != nullptr && def->param2.kind != ParamKind::kNone;
    default:
      return false;
  }
}

bool Editor::OnCellEdited(int row, int column) {
  // The editor's own writes are not edits, should a grid report them.
  if (own_updates_ > 0 || row < 0 || row >= grid_.RowCount()) return true;
  // The cell already holds the new text; a comment's earlier one is stored.
  HistoryStep step(*this, column == kCommentColumn ? row : -1);
  const bool accepted = ApplyCellEdit(row, column);
  if (accepted) step.Done();
  return accepted;
}

bool Editor::ApplyCellEdit(int row, int column) {
  const OwnUpdate own(*this);
  switch (column) {
    case kCommandColumn: {
      const CommandDef* def = CommandDefAt(grid_.CommandIndex(row));
      if (def == nullptr) return false;
      // The bytes stay; only the code changes.
      Command command = RowCommand(row);
      command.code = def->code;
      if (def->code == kOutputsCode) {
        command.param1 = state_.outputs_pattern;
        ShowOutputsPattern(state_.outputs_pattern);
      }
      RenderCommandRow(grid_, command, std::nullopt, row, RowMode::kRewrite);
      return true;
    }
    case kValue1Column:
    case kValue2Column:
      return ParamCellEdited(row, column);
    case kCommentColumn:
      return CommentCellEdited(row);
    default:
      return true;
  }
}

bool Editor::ParamCellEdited(int row, int column) {
  const CommandDef* def = CommandDefAt(grid_.CommandIndex(row));
  const int number = column == kValue1Column ? 1 : 2;
  // The same refusals as before the edit, for a grid that edits anyway.
  if (def == nullptr || def->Param(number).kind == ParamKind::kNone ||
      (number == 1 && def->code == kOutputsCode)) {
    return false;
  }
  const std::uint8_t value =
      TypedParamByte(def->Param(number).kind, grid_.CellText(row, column));
  Command command = RowCommand(row);
  (number == 1 ? command.param1 : command.param2) = value;
  RenderCommandRow(grid_, command, std::nullopt, row, RowMode::kRewrite);
  return true;
}

bool Editor::CommentCellEdited(int row) {
  const std::string text = grid_.CellText(row, kCommentColumn);
  if (CheckCommentText(text) != CommentCheck::kAccepted) return false;
  store_.SetComment(state_.current_segment - 1, row, text);
  ColourRowByComment(grid_, row);
  return true;
}

}  // namespace lumera
