// What a controller job needs of the editor that shows a segment: writing
// the shown segment back before the job reads the store, emptying the return
// stack, reloading after the job has read program commands, and following a
// position the controller reported. The command line has no editor and
// passes none.
#pragma once

#include <array>
#include <cstdint>

#include "core/model/controller_registers.h"

namespace lumera {

// What the run-control jobs take from the page. `selected_row` is the
// current row, or -1 when there are no rows.
struct RunControlValues {
  int current_segment = 1;
  int grid_rows = 0;
  int selected_row = -1;
};

class ShownSegmentEditor {
 public:
  virtual ~ShownSegmentEditor() = default;

  virtual RunControlValues RunControl() const = 0;

  // The working copy into the store: the one write-back of the shown
  // segment, whoever asks for it.
  virtual void CommitGrid() = 0;
  virtual void ClearReturnStack() = 0;
  // The shown segment afresh from the store; for the end of a job that
  // read program commands only, since it drops what was not written back.
  virtual void ReloadShownSegment() = 0;
  // Shows command `command_index` of segment `segment_index` (0-based) and
  // the registers; a switch of segments writes the shown one back first.
  virtual void ShowControllerPosition(
      int segment_index, int command_index,
      const std::array<std::uint8_t, kRegisterCount>& registers) = 0;
};

}  // namespace lumera
