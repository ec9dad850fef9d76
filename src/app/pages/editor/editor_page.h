// The editor page (tab 0): the command grid of the current segment, the
// editing operations and run control around it.
#pragma once

#include "app/pages/page.h"

namespace lumera {

class EditorPage : public Page {
 public:
  EditorPage(PageContext& context, QWidget* parent);

  // The editor's tab refreshes the main window's own status fields.
  void RefreshOnTabChange() override;
  void Commit() override;
  void ProgramLoaded() override;
  void ProgramSaved() override;

  // Shows CurrentSegment in the grid.
  void LoadSegmentIntoGrid();
  void ClearReturnStack();
  // Moves the grid to the controller's reported position (0-based).
  void ShowControllerPosition(int segment_index, int command_index);

 private:
  PageContext& context_;
};

}  // namespace lumera
