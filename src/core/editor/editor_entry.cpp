// The command chooser with its parameter fields, the output buttons, and
// what the page shows.
#include <cstdio>

#include "core/editor/cell_input.h"
#include "core/editor/editor.h"
#include "core/model/command_catalogue.h"

namespace lumera {
namespace {

constexpr std::uint8_t kOutputsCode = 3;
constexpr int kPatternOutputs = 4;  // outputs 5..8 have no bit

std::string PatternText(std::uint8_t pattern) {
  char text[8];
  std::snprintf(text, sizeof text, "%02Xh", static_cast<unsigned>(pattern));
  return text;
}

std::string DefaultText(const CommandDef& def, int number) {
  return FormatParam(def, number,
                     static_cast<std::uint8_t>(def.Param(number).default_value),
                     ParamContext::kEntryField);
}

}  // namespace

bool Editor::ChosenCodeIs3() const {
  const CommandDef* def = CommandDefAt(state_.chosen_index);
  return def != nullptr && def->code == kOutputsCode;
}

void Editor::ChooseEntry(int index) {
  if (CommandDefAt(index) == nullptr) return;
  state_.chosen_index = index;
  ShowChosenEntry();
}

void Editor::ShowChosenEntry() {
  const CommandDef& def = *CommandDefAt(state_.chosen_index);
  state_.field1_text = def.code == kOutputsCode
                           ? PatternText(state_.outputs_pattern)
                           : DefaultText(def, 1);
  state_.field2_text = DefaultText(def, 2);
  state_.entry_param1 = def.param1.default_value;
  state_.entry_param2 = def.param2.default_value;
}

void Editor::SetEntryFieldText(int number, std::string_view text) {
  if (number != 1 && number != 2) return;
  const CommandDef& def = *CommandDefAt(state_.chosen_index);
  (number == 1 ? state_.field1_text : state_.field2_text) = text;
  const ParamKind kind = def.Param(number).kind;
  if (kind == ParamKind::kNone) return;
  (number == 1 ? state_.entry_param1 : state_.entry_param2) =
      ParseEntryField(kind, text);
}

void Editor::ShowOutputsPattern(std::uint8_t pattern) {
  state_.outputs_pattern = pattern;
  if (ChosenCodeIs3()) state_.field1_text = PatternText(pattern);
}

void Editor::PressOutputButton(int output) {
  if (output < 1 || output > kPatternOutputs) return;
  SetOutputsPattern(
      static_cast<std::uint8_t>(state_.outputs_pattern ^ (1u << (output - 1))));
}

void Editor::SetOutputsPattern(std::uint8_t pattern) {
  const int row = ValidCurrentRow();
  if (row >= 0 && RowCommand(row).code == kOutputsCode && !ShownSegmentHeld()) {
    HistoryStep step(*this);
    rows_.SetParam(row, 1, pattern);
    step.Done();
  }
  ShowOutputsPattern(pattern);
}

EditorView Editor::View() const {
  const CommandDef& def = *CommandDefAt(state_.chosen_index);
  EditorView view;
  view.chosen_index = state_.chosen_index;
  view.label1 = def.param1.label;
  view.label2 = def.param2.label;
  view.field1_text = state_.field1_text;
  view.field2_text = state_.field2_text;
  view.field1_enabled =
      def.param1.kind != ParamKind::kNone && def.code != kOutputsCode;
  view.field2_enabled = def.param2.kind != ParamKind::kNone;
  view.segment_choice = state_.current_segment - 1;
  view.segment_held = ShownSegmentHeld();
  view.return_caption = ReturnButtonCaption(state_.return_stack.depth());
  view.return_enabled = state_.return_stack.depth() > 0;
  for (int k = 0; k < kPatternOutputs; ++k) {
    view.outputs[k] = (state_.outputs_pattern >> k) & 1u ? OutputPicture::kLit
                                                         : OutputPicture::kDark;
  }
  if (state_.registers_shown) {
    for (int k = 0; k < kRegisterCount; ++k) {
      view.registers[k] = std::to_string(state_.registers[k]);
    }
  }
  return view;
}

}  // namespace lumera
