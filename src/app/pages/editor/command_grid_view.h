// The command grid on Qt's item views: a table view over CommandGridModel.
// It follows the editor's current cell and tells the editor where the user
// moved it.
#pragma once

#include <QTableView>
#include <utility>

namespace lumera {

class CommandGridDelegate;
class CommandGridModel;
class Editor;

class CommandGridView : public QTableView {
  Q_OBJECT

 public:
  CommandGridView(Editor& editor, QWidget* parent = nullptr);

  CommandGridModel& grid_model() { return *model_; }

  // The selected rows, contiguous: the first and how many; the current row
  // alone when none is selected, {-1, 0} on an empty grid.
  std::pair<int, int> SelectedRows() const;

 signals:
  // The user moved the current cell (mouse, keys); the editor has it.
  void currentCellChosen(int row, int column);

 protected:
  void currentChanged(const QModelIndex& current,
                      const QModelIndex& previous) override;

 private:
  void Follow(int row, int column);

  CommandGridModel* model_;
  CommandGridDelegate* delegate_;
  bool following_ = false;  // the editor moved the cell, not the user
};

}  // namespace lumera
