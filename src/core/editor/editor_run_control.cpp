// What the run-control buttons take from the page, and the controller's
// reported position.
#include "core/editor/editor.h"
#include "core/editor/grid_rows.h"

namespace lumera {

RunControlValues Editor::RunControl() const {
  return RunControlValues{state_.current_segment, rows_.size(),
                          ValidCurrentRow()};
}

std::optional<SlotCommand> Editor::PrepareWriteCommand() {
  const int row = ValidCurrentRow();
  if (row < 0) return std::nullopt;
  CommitGrid();
  ClearReturnStack();
  const int segment_index = state_.current_segment - 1;
  return SlotCommand{segment_index, row, store_.CommandAt(segment_index, row)};
}

void Editor::ShowControllerPosition(
    int segment_index, int command_index,
    const std::array<std::uint8_t, kRegisterCount>& registers) {
  // On an empty grid only the registers follow the controller.
  if (rows_.size() > 0 && segment_index >= 0 && segment_index < kSegmentCount) {
    if (state_.current_segment != segment_index + 1) {
      // As the segment chooser does: what the user changed in the shown
      // segment is written back, not dropped.
      CommitGrid();
      LoadSegmentIntoGrid(segment_index + 1, kCommandColumn);
    }
    if (command_index >= 0 && command_index < rows_.size()) {
      SelectRow(command_index);
    }
  }
  ShowRegisters(registers);
}

void Editor::ShowRegisters(
    const std::array<std::uint8_t, kRegisterCount>& registers) {
  state_.registers = registers;
  state_.registers_shown = true;
}

}  // namespace lumera
