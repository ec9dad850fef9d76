// The editor page's logic: the shown segment in a CommandGrid, the command
// chooser with its parameter fields, the editing buttons, the return stack,
// the output buttons and what the run-control buttons take from the page.
// The page's widgets call these and show View(); questions to the user come
// in as callbacks.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/editor/clipboard_rows.h"
#include "core/editor/command_grid.h"
#include "core/editor/edit_history.h"
#include "core/editor/editor_view.h"
#include "core/editor/return_stack.h"
#include "core/model/program_store.h"
#include "core/model/program_types.h"

namespace lumera {

inline constexpr std::string_view kClearListQuestion =
    "Czy skasować liste rozkazów ?";
inline constexpr std::string_view kClearListTitle = "Kasowanie listy rozkazów";

// The state the page keeps besides the grid.
struct EditorState {
  int current_segment = 1;        // 1..10, always
  int chosen_index = 0;           // catalogue index in the command chooser
  std::int32_t entry_param1 = 0;  // EntryParam1: field 1 as last parsed
  std::int32_t entry_param2 = 0;  // EntryParam2
  std::uint8_t outputs_pattern = 0xFF;  // bits 0..3: outputs 1..4
  ReturnStack return_stack;
  std::string field1_text;  // what the parameter fields show
  std::string field2_text;
  std::array<std::uint8_t, kRegisterCount> registers{};
  bool registers_shown = false;
};

enum class AddMode { kAppend, kInsert };

// What the run-control jobs take from the page. `selected_row` is the grid's
// current row, or -1 when the grid has none.
struct RunControlValues {
  int current_segment = 1;
  int grid_rows = 0;
  int selected_row = -1;
};

// One slot of the store and its bytes.
struct SlotCommand {
  int segment_index = 0;
  int command_index = 0;
  Command command;
  friend bool operator==(const SlotCommand&, const SlotCommand&) = default;
};

// Asked before "Kasuj Listę" clears the grid; true is Yes.
using ClearListQuestion =
    std::function<bool(std::string_view question, std::string_view title)>;

class Editor : public CommandGridEvents {
 public:
  // A segment outside 1..10 is taken as 1. The grid stays as it is until
  // SetUpPage and LoadSegmentIntoGrid.
  Editor(CommandGrid& grid, ProgramStore& store, int current_segment);

  // Called with the segment number each time a segment is loaded into the
  // grid: the main window's segment captions and the settings follow it.
  void SetSegmentShownHook(std::function<void(int segment)> hook) {
    segment_shown_ = std::move(hook);
  }

  // Adds the grid's columns and chooses catalogue entry 0.
  void SetUpPage();

  const EditorState& state() const { return state_; }
  int current_segment() const { return state_.current_segment; }
  EditorView View() const;

  // The grid and the store.
  // Makes `segment` (outside 1..10: 1) the CurrentSegment and fills the grid
  // with it; row 0 in `column` becomes current.
  void LoadSegmentIntoGrid(int segment, int column);
  // The end-of-job reload: the CurrentSegment, command column.
  void ReloadGrid() { LoadSegmentIntoGrid(state_.current_segment, 1); }
  void CommitGrid();

  // Grid notifications.
  void OnCurrentCellMoved(int row, int column) override;
  bool OnBeforeCellEdit(int row, int column) override;
  bool OnCellEdited(int row, int column) override;

  // Command chooser and parameter fields. ChooseEntry ignores an index
  // outside the catalogue.
  void ChooseEntry(int index);
  void ShowChosenEntry();
  // The text of parameter field `number` (1 or 2) has changed.
  void SetEntryFieldText(int number, std::string_view text);

  // Editing buttons; each returns whether it changed anything. Those that
  // need a current row do nothing when the grid has none.
  bool AddCommand(AddMode mode);
  bool DeleteCommand();                          // "Usuń"
  bool MoveCommandDown();                        // "W dół"
  bool MoveCommandUp();                          // "W górę"
  bool ClearList(const ClearListQuestion& ask);  // "Kasuj Listę"
  bool ChooseSegment(int segment);               // segment chooser, 1..10
  bool Enter();                                  // "Wejdź"
  bool Return();                                 // "Wróć"
  void ClearReturnStack() { state_.return_stack.Clear(); }

  // Output button of output 1..8 (buttons 1009..1016).
  void PressOutputButton(int output);
  void SetOutputsPattern(std::uint8_t pattern);

  // Run control.
  RunControlValues RunControl() const;
  // "Wpisz Komendę" before its request is queued: writes the grid back,
  // empties the return stack and gives the selected slot's bytes as the
  // store now holds them. nullopt, doing nothing, on an empty grid.
  std::optional<SlotCommand> PrepareWriteCommand();

  // Undo and redo of the shown segment's changes: the editing buttons,
  // typed and chosen cells, comments, output buttons written into a code-3
  // row, pastes and cuts. Each segment keeps its own steps across segment
  // switches. Undo and Redo return whether they restored anything.
  bool CanUndo() const;
  bool CanRedo() const;
  bool Undo();
  bool Redo();
  // A loaded program file or a download replaces what the steps describe:
  // the page calls these then. `segment` is 1..10.
  void ClearHistory(int segment);
  void ClearAllHistories();
  const EditHistory& History(int segment) const;

  // Clipboard rows. `first_row` and `count` name the selected rows; the part
  // outside the grid is left out. PasteRows inserts before the current row
  // (into an empty grid: as its rows) as many as fit into 255 and returns
  // how many it inserted; nothing when the grid has rows but no current one.
  // CutRows is a copy and a delete of those rows, undone as one step.
  std::vector<ClipboardRow> CopyRows(int first_row, int count) const;
  std::vector<ClipboardRow> CutRows(int first_row, int count);
  int PasteRows(std::span<const ClipboardRow> rows);
  // A position reported by the controller (a ReadPosition reply, or a
  // difference found by verification); to be called on the page's own
  // thread, like every other member. On a grid with rows, loads
  // segment index `segment_index` if another one is shown and selects row
  // `command_index`; the registers are shown in any case.
  void ShowControllerPosition(
      int segment_index, int command_index,
      const std::array<std::uint8_t, kRegisterCount>& registers);
  void ShowRegisters(const std::array<std::uint8_t, kRegisterCount>& registers);

 private:
  // Brackets the editor's own grid writes, and lets the edit guard tell them
  // from the user's.
  class OwnUpdate {
   public:
    explicit OwnUpdate(Editor& editor);
    ~OwnUpdate();
    OwnUpdate(const OwnUpdate&) = delete;
    OwnUpdate& operator=(const OwnUpdate&) = delete;

   private:
    Editor& editor_;
  };

  // Records one undo step of the shown segment when, at Done(), the segment
  // differs from what it was at construction.
  class HistoryStep {
   public:
    explicit HistoryStep(Editor& editor);
    // `before_comment_row`: a comment cell the user has already changed;
    // its earlier text is the stored one.
    HistoryStep(Editor& editor, int before_comment_row);
    void Done();

   private:
    Editor& editor_;
    int segment_;
    SegmentSnapshot before_;
  };

  SegmentSnapshot Capture() const;
  // Restores an undo or redo state of the shown segment.
  void Restore(const SegmentSnapshot& snapshot);
  // The rows [first, first + count) that the grid has.
  std::pair<int, int> RowRange(int first_row, int count) const;

  // The current row when it is a row of the grid, else -1.
  int ValidCurrentRow() const;
  // The code of a row's command cell, or nullopt for an index outside the
  // catalogue.
  std::optional<std::uint8_t> RowCode(int row) const;
  Command RowCommand(int row) const;  // from the HEX cell
  bool ChosenCodeIs3() const;
  void ShowOutputsPattern(std::uint8_t pattern);
  void SelectRow(int row);
  void ShowSegmentAt(int segment, int row);
  bool ApplyCellEdit(int row, int column);
  bool ParamCellEdited(int row, int column);
  bool CommentCellEdited(int row);

  CommandGrid& grid_;
  ProgramStore& store_;
  EditorState state_;
  std::function<void(int)> segment_shown_;
  int own_updates_ = 0;
  std::array<EditHistory, kSegmentCount> histories_;
};

}  // namespace lumera
