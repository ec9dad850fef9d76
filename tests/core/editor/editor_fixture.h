// An editor over a fresh store; the tests work on its working copy as the
// grid shows it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/editor/editor.h"
#include "core/editor/grid_rows.h"
#include "core/model/program_store.h"

namespace lumera::testing {

// Catalogue indexes the tests use.
inline constexpr int kSwitchOnIndex = 0;        // code 1, decimal, decimal
inline constexpr int kOutputsIndex = 2;         // code 3, hex pattern
inline constexpr int kAllOffIndex = 13;         // code 14, no parameters
inline constexpr int kJumpIndex = 20;           // code 22
inline constexpr int kJumpToSegmentIndex = 22;  // code 24
inline constexpr int kCallIndex = 25;           // code 27
inline constexpr int kSelectIndex = 29;         // code 31, hex, hex
inline constexpr int kWaitForHourIndex = 44;    // code 44

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() : editor_(store_, 1) { editor_.SetUpPage(); }

  // Segment 1..10 gets `count` commands {code, n % 256, n + 1 % 256}.
  void FillSegment(int segment, int count, std::uint8_t code = 1) {
    for (int n = 0; n < count; ++n) {
      store_.SetCommand(segment - 1, n,
                        Command{code, static_cast<std::uint8_t>(n),
                                static_cast<std::uint8_t>(n + 1)});
    }
  }
  Command Slot(int segment, int command) const {
    return store_.CommandAt(segment - 1, command);
  }
  std::string Cell(int row, int column) const {
    return CellText(editor_.rows().row(row), row, column);
  }
  RowColours Colours(int row) const {
    return RowColoursForComment(editor_.rows().row(row).comment);
  }
  int Rows() const { return editor_.rows().size(); }
  void Load(int segment) { editor_.LoadSegmentIntoGrid(segment, 1); }

  ProgramStore store_;
  Editor editor_;
};

}  // namespace lumera::testing
