// What the main window asks of the pages. The pages fill these in as they
// are built; until then each hook does nothing (or, for the grid's row
// count, falls back to the segment's command list).
#pragma once

#include <functional>

namespace lumera {

struct PageHooks {
  // Editor page.
  std::function<void()> commit_grid;             // CommitGrid
  std::function<void()> load_segment_into_grid;  // CurrentSegment, column 1
  std::function<void()> clear_return_stack;
  std::function<void(int segment_index, int command_index)>
      show_controller_position;
  std::function<int()> grid_rows;  // rows of the editor grid
  // Configuration and outputs pages.
  std::function<void()> refresh_config_page;
  std::function<void()> refresh_outputs_page;
  // Printing: all ten segments, or the current one.
  std::function<void(bool all_segments)> print_listing;
};

}  // namespace lumera
