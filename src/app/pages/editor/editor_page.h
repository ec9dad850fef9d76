// The editor page (tab 0): the command grid of the current segment, the
// editing operations and run control around it. The logic is the core's
// Editor; the page builds the controls, calls into it and shows its view.
#pragma once

#include <array>

#include "app/pages/editor/command_grid_view.h"
#include "app/pages/page.h"
#include "core/editor/editor.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSplitter;
class QToolButton;

namespace lumera {

class EditorPage : public Page {
 public:
  EditorPage(PageContext& context, QWidget* parent);

  // The editor's tab refreshes the main window's own status fields.
  void RefreshOnTabChange() override;
  void ProgramLoaded() override;
  void ProgramSaved() override;

  // Shows CurrentSegment afresh (the end of a job that read program
  // commands).
  void LoadSegmentIntoGrid();
  void ClearReturnStack();
  // Moves the grid to the controller's reported position (0-based) and
  // shows the registers the worker stored.
  void ShowControllerPosition(int segment_index, int command_index);

  // Ctrl+Z, Ctrl+Shift+Z / Ctrl+Y and their buttons.
  void Undo();
  void Redo();
  // Ctrl+C, Ctrl+X and Ctrl+V on the grid: the selected rows (or the
  // current one) to the clipboard, and its rows in before the current row.
  void CopyRows();
  void CutRows();
  void PasteRows();

  // "Sprawdź program": checks the program, and keeps its findings in the
  // list and the grid's marks up to date from then on.
  void CheckProgram();
  // Activating a finding: its segment chosen, its row current.
  void ShowFinding(int index);

  Editor& editor() { return editor_; }
  CommandGridView& grid() { return *grid_; }

 private:
  struct Controls {
    QComboBox* chooser = nullptr;
    QLabel* label1 = nullptr;
    QLabel* label2 = nullptr;
    QLineEdit* field1 = nullptr;
    QLineEdit* field2 = nullptr;
    QComboBox* segment = nullptr;
    QPushButton* return_button = nullptr;
    std::array<QPushButton*, kOutputButtonCount> outputs{};
    std::array<QLabel*, kRegisterCount> registers{};
    QToolButton* undo = nullptr;
    QToolButton* redo = nullptr;
    QCheckBox* fix_references = nullptr;
    QListWidget* findings = nullptr;
    QSplitter* split = nullptr;  // the grid over the findings
    // The buttons that change the rows: off while the segment is held.
    std::array<QPushButton*, 8> editing{};
  };

  // editor_page_layout.cpp: the controls around the grid.
  void BuildControls();
  QWidget* BuildEditingBox();
  QWidget* BuildSegmentBox();
  QWidget* BuildOutputsBox();
  QWidget* BuildRunBox();
  QWidget* BuildRegistersBox();
  QWidget* BuildHistoryButtons(QWidget* parent);
  QWidget* BuildFindingsList();

  // editor_page_keys.cpp: the undo and clipboard keys.
  void ConnectKeys();
  void UndoKey();
  void RedoKey();
  // The undo buttons follow the shown segment's steps.
  void ShowHistoryState();
  // A download has replaced these segments (bit s: segment index s) under
  // their steps.
  void ForgetReplacedHistory(unsigned segments);

  void ConnectControls();
  // Runs an editing operation, then shows the editor's state.
  template <typename Operation>
  void Do(Operation operation, bool focus_grid);
  // Copies the editor's view into the controls.
  void ShowView();
  // The findings into the list, shown while there are any.
  void ShowFindings();
  // "Poprawiono odwołania: N" after an edit that renumbered.
  void ShowFixedReferences();
  void FixReferencesToggled(bool on);
  void SegmentShown(int segment);

  PageContext& context_;
  Editor editor_;
  CommandGridView* grid_;
  Controls c_;
  bool showing_ = false;  // the view is being copied into the controls
};

}  // namespace lumera
