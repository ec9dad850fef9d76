// "Popraw odwołania" and "Sprawdź program": references that follow their
// commands when rows move, and the check of the program the page shows.
#include "core/editor/editor.h"

namespace lumera {

void Editor::FixReferences(const RowMoves& moves, ReferenceEdit& edit) {
  if (!fix_references_ || !moves.MovesAny()) return;
  const int segment = state_.current_segment - 1;
  int changed = 0;
  // The rows that were there before the edit; rows it added keep the
  // numbers they came with.
  for (int old_row = 0; old_row < moves.old_length(); ++old_row) {
    const int row = moves.NewIndex(old_row);
    if (!rows_.ValidRow(row)) continue;
    Command command = RowCommand(row);
    if (RenumberReference(command, segment, segment, moves)) {
      rows_.SetCommand(row, command);
      ++changed;
    }
  }
  edit.segment_index = segment;
  edit.moves = moves;
  changed += RenumberStoredReferences(store_, segment, moves, edit.outside);
  RenumberOtherHistories(segment, moves);
  fixed_references_ += changed;
}

void Editor::UndoReferences(const ReferenceEdit& edit) {
  if (!edit.fixed()) return;
  UndoReferenceChanges(store_, edit.outside);
  RenumberOtherHistories(edit.segment_index, edit.moves.Inverse());
}

void Editor::RedoReferences(const ReferenceEdit& edit) {
  if (!edit.fixed()) return;
  RedoReferenceChanges(store_, edit.outside);
  RenumberOtherHistories(edit.segment_index, edit.moves);
}

void Editor::RenumberOtherHistories(int moved_segment, const RowMoves& moves) {
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    if (segment == moved_segment) continue;
    histories_[static_cast<std::size_t>(segment)].RenumberReferences(
        segment, moved_segment, moves);
  }
}

int Editor::TakeFixedReferenceCount() {
  const int count = fixed_references_;
  fixed_references_ = 0;
  return count;
}

std::vector<ProgramFinding> Editor::CheckProgram() const {
  ProgramImage image = store_.image();
  const int segment = state_.current_segment - 1;
  for (int slot = 0; slot < kCommandsPerSegment; ++slot) {
    const Command command =
        slot < rows_.size() ? RowCommand(slot) : kEmptyCommand;
    const std::size_t offset = CommandOffset(segment, slot);
    image[offset] = command.code;
    image[offset + 1] = command.param1;
    image[offset + 2] = command.param2;
  }
  return lumera::CheckProgram(image);
}

void Editor::StartProgramCheck() {
  program_checked_ = true;
  findings_ = CheckProgram();
}

bool Editor::RefreshProgramCheck() {
  if (!program_checked_) return false;
  std::vector<ProgramFinding> findings = CheckProgram();
  if (findings == findings_) return false;
  findings_ = std::move(findings);
  return true;
}

const ProgramFinding* Editor::RowFinding(int row) const {
  const int segment = state_.current_segment - 1;
  for (const ProgramFinding& finding : findings_) {
    if (finding.segment_index == segment && finding.command_index == row) {
      return &finding;
    }
  }
  return nullptr;
}

}  // namespace lumera
