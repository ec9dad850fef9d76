// The command grid on Qt's item views: a table view over CommandGridModel
// that offers the editor the CommandGrid operations and reports the current
// cell, the start of an edit and the edit itself to the CommandGridEvents.
#pragma once

#include <QTableView>
#include <utility>

#include "core/editor/command_grid.h"

namespace lumera {

class CommandGridDelegate;
class CommandGridModel;

class CommandGridView : public QTableView, public CommandGrid {
  Q_OBJECT

 public:
  explicit CommandGridView(QWidget* parent = nullptr);

  void SetEvents(CommandGridEvents* events) { events_ = events; }
  CommandGridModel& grid_model() { return *model_; }

  // CommandGrid.
  void AddColumn(const GridColumnSpec& column) override;
  void AddListText(int column, std::string_view text) override;
  void AppendRow(const RowRecord& record) override;
  void InsertRow(int row, const RowRecord& record) override;
  void DeleteRow(int row) override;
  void MoveRow(int row, int target) override;
  void DeleteAllRows() override;
  int RowCount() const override;
  int CurrentRow() const override;
  int CurrentColumn() const override;
  void SetCurrentCell(int row, int column) override;
  std::string CellText(int row, int column) const override;
  void SetCellText(int row, int column, std::string_view text) override;
  int CommandIndex(int row) const override;
  void SetRowColours(int row, const RowColours& colours) override;
  void BeginUpdate() override;
  void EndUpdate() override;

  // The selected rows, contiguous: the first and how many; the current row
  // alone when none is selected, {-1, 0} on an empty grid.
  std::pair<int, int> SelectedRows() const;

 signals:
  // A user's edit of a cell has been offered to the events (taken or not).
  void cellOffered();

 protected:
  void currentChanged(const QModelIndex& current,
                      const QModelIndex& previous) override;

 private:
  // The first row of an empty grid becomes current.
  void KeepACurrentCell();

  CommandGridModel* model_;
  CommandGridDelegate* delegate_;
  CommandGridEvents* events_ = nullptr;
  int update_depth_ = 0;
  int current_column_ = 0;  // kept while the grid has no rows
  int pending_row_ = -1;    // made current when a refill's reset ends
};

}  // namespace lumera
