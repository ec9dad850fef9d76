// The editor's side as the jobs see it: what they ask of it, counted.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "core/editor/shown_segment_editor.h"

namespace lumera {

class RecordingEditor : public ShownSegmentEditor {
 public:
  RunControlValues RunControl() const override { return run; }
  void CommitGrid() override {
    ++commits;
    if (on_commit) on_commit();
  }
  void ClearReturnStack() override { ++stack_cleared; }
  void ReloadShownSegment() override { ++reloads; }
  void ShowControllerPosition(
      int segment_index, int command_index,
      const std::array<std::uint8_t, kRegisterCount>&) override {
    positions.emplace_back(segment_index, command_index);
  }

  RunControlValues run;
  std::function<void()> on_commit;
  int commits = 0;
  int stack_cleared = 0;
  int reloads = 0;
  std::vector<std::pair<int, int>> positions;
};

}  // namespace lumera
