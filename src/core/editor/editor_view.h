// What the editor page's widgets show, as plain data: the page copies these
// into its controls after each call into the editor.
#pragma once

#include <array>
#include <string>

#include "core/model/controller_registers.h"

namespace lumera {

// The picture of an output button: outputs 1..4 show a dark or a lit lamp,
// outputs 5..8 have no picture.
enum class OutputPicture { kNone, kDark, kLit };

inline constexpr int kOutputButtonCount = 8;

struct EditorView {
  int chosen_index = 0;     // command chooser: catalogue index
  std::string label1;       // parameter 1 label of the chosen entry
  std::string label2;       // parameter 2 label
  std::string field1_text;  // parameter 1 field
  std::string field2_text;  // parameter 2 field
  bool field1_enabled = false;
  bool field2_enabled = false;
  int segment_choice = 0;  // segment chooser position: CurrentSegment - 1
  // A running download is to replace the shown segment: the editing buttons
  // are off and the status line says why (Editor::ShownSegmentHeld).
  bool segment_held = false;
  std::string return_caption;  // "Wróć" or "Wróć (d)"
  bool return_enabled = false;
  // Index k is output k + 1 (output 1 is the button at the right end).
  std::array<OutputPicture, kOutputButtonCount> outputs{};
  // Registers 1..8 as unsigned decimal texts; empty until first shown.
  std::array<std::string, kRegisterCount> registers{};
};

}  // namespace lumera
