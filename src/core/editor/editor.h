// The editor page's logic: the working copy of the shown segment, the
// command chooser with its parameter fields, the editing buttons, the return
// stack, the output buttons and what the run-control buttons take from the
// page. The page's widgets call these and show View() and rows(); questions
// to the user come in as callbacks.
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
#include "core/editor/edit_history.h"
#include "core/editor/editor_view.h"
#include "core/editor/reference_renumbering.h"
#include "core/editor/return_stack.h"
#include "core/editor/shown_segment_editor.h"
#include "core/editor/working_segment.h"
#include "core/model/program_check.h"
#include "core/model/program_store.h"
#include "core/model/program_types.h"
#include "core/model/received_program.h"

namespace lumera {

inline constexpr std::string_view kClearListQuestion =
    "Czy skasować liste rozkazów ?";
inline constexpr std::string_view kClearListTitle = "Kasowanie listy rozkazów";
// The status line's note while the shown segment is being downloaded.
inline constexpr std::string_view kSegmentHeldNote =
    "Segment jest pobierany ze sterownika - edycja po zakończeniu operacji.";

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

class Editor : public ShownSegmentEditor {
 public:
  // A segment outside 1..10 is taken as 1. The rows stay empty until
  // LoadSegmentIntoGrid. `download`, when given, tells which segments a
  // running download will replace: those are held (below).
  Editor(ProgramStore& store, int current_segment,
         const ReceivedProgram* download = nullptr);

  // Chooses catalogue entry 0.
  void SetUpPage();

  // The working copy, and who hears of its changes (the grid's model).
  const WorkingSegment& rows() const { return rows_; }
  void SetRowsListener(WorkingSegmentListener* listener) {
    rows_.SetListener(listener);
  }
  int current_row() const { return rows_.current_row(); }
  int current_column() const { return rows_.current_column(); }

  const EditorState& state() const { return state_; }
  int current_segment() const { return state_.current_segment; }
  EditorView View() const;

  // The working copy and the store.
  // Makes `segment` (outside 1..10: 1) the CurrentSegment and loads its
  // rows; row 0 in `column` becomes current.
  void LoadSegmentIntoGrid(int segment, int column);
  // The shown segment into the store; nothing while it is held. Every
  // write-back goes through here.
  void CommitGrid() override;

  // The shown segment is held while a running download is to replace it:
  // it is shown but not edited, and never written back, so nothing the
  // editor holds can reach the slots the download fills. Other segments,
  // moving between segments and the chooser stay as they are.
  bool ShownSegmentHeld() const;

  // ShownSegmentEditor, for the jobs.
  void ReloadShownSegment() override {
    LoadSegmentIntoGrid(state_.current_segment, 1);
  }

  // The cells, as the grid offers them to the user. SelectCell moves the
  // current cell (mouse, keys); CanEditCell says whether an edit may start;
  // EditCell takes the text typed into a value or comment cell and
  // ChooseRowCommand the catalogue index chosen in a command cell. Both
  // return false, changing nothing, for an edit that is refused.
  void SelectCell(int row, int column);
  bool CanEditCell(int row, int column) const;
  bool EditCell(int row, int column, std::string_view text);
  bool ChooseRowCommand(int row, int index);

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
  void ClearReturnStack() override { state_.return_stack.Clear(); }

  // "Popraw odwołania": while on, inserting, deleting, moving, pasting and
  // cutting rows renumber every reference of the program that named a
  // command which moved (the shown rows and the other nine segments in the
  // store), in the same undo step. Off, the rows alone change. On at first.
  void SetFixReferences(bool on) { fix_references_ = on; }
  bool fix_references() const { return fix_references_; }
  // How many commands the edits since the last call renumbered.
  int TakeFixedReferenceCount();

  // "Sprawdź program": the findings of the program as the page shows it,
  // the shown segment's rows standing in for its slots. Once started, the
  // check is taken afresh by RefreshProgramCheck after every change, so the
  // marks of the rows never lag behind them; it returns whether the
  // findings changed.
  std::vector<ProgramFinding> CheckProgram() const;
  void StartProgramCheck();
  bool RefreshProgramCheck();
  bool program_checked() const { return program_checked_; }
  const std::vector<ProgramFinding>& findings() const { return findings_; }
  // The finding of row `row` of the shown segment, or nullptr.
  const ProgramFinding* RowFinding(int row) const;

  // Output button of output 1..8 (buttons 1009..1016).
  void PressOutputButton(int output);
  void SetOutputsPattern(std::uint8_t pattern);

  // Run control.
  RunControlValues RunControl() const override;
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
  // thread, like every other member. On a grid with rows, writes the shown
  // segment back and loads segment index `segment_index` if another one is
  // shown, and selects row `command_index`; the registers are shown in any
  // case.
  void ShowControllerPosition(
      int segment_index, int command_index,
      const std::array<std::uint8_t, kRegisterCount>& registers) override;
  void ShowRegisters(const std::array<std::uint8_t, kRegisterCount>& registers);

 private:
  // Records one undo step of the shown segment when, at Done(), the segment
  // differs from what it was at construction.
  class HistoryStep {
   public:
    explicit HistoryStep(Editor& editor);
    // The rows moved so: references follow when the editor fixes them.
    // Returns how many slots of the other segments changed.
    int RowsMoved(const RowMoves& moves);
    void Done();

   private:
    Editor& editor_;
    int segment_;
    SegmentSnapshot before_;
    ReferenceEdit references_;
  };

  SegmentSnapshot Capture() const;
  // Restores an undo or redo state of the shown segment.
  void Restore(const SegmentSnapshot& snapshot);
  // The references of an edit of the shown segment's rows; `edit` records
  // what changed beyond those rows.
  void FixReferences(const RowMoves& moves, ReferenceEdit& edit);
  // A step's references taken back or made again with its rows.
  void UndoReferences(const ReferenceEdit& edit);
  void RedoReferences(const ReferenceEdit& edit);
  void RenumberOtherHistories(int moved_segment, const RowMoves& moves);
  // Rows `a` and `b` of the shown segment changed places.
  void MovedRows(HistoryStep& step, int a, int b);
  // The rows [first, first + count) that the working copy has.
  std::pair<int, int> RowRange(int first_row, int count) const;

  // The current row when it is a row of the working copy, else -1.
  int ValidCurrentRow() const;
  Command RowCommand(int row) const { return rows_.row(row).command; }
  bool ChosenCodeIs3() const;
  void ShowOutputsPattern(std::uint8_t pattern);
  // Moves the current row (current column kept) and takes a code-3 row's
  // pattern, however the row was reached.
  void SelectRow(int row);
  void SetCurrentCell(int row, int column);
  void CurrentRowChanged();
  void ShowSegmentAt(int segment, int row);

  ProgramStore& store_;
  const ReceivedProgram* download_;
  WorkingSegment rows_;
  EditorState state_;
  std::array<EditHistory, kSegmentCount> histories_;
  bool fix_references_ = true;
  int fixed_references_ = 0;
  bool program_checked_ = false;
  std::vector<ProgramFinding> findings_;
};

}  // namespace lumera
