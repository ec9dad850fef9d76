// The rows of the command grid as a Qt table model. The editor writes
// through the Set* members; the grid's cell editors write through setData,
// which is the user's edit: it is offered to `edited`, and a refused value
// is put back.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "core/editor/command_grid.h"

namespace lumera {

class CommandGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  struct Row {
    std::array<QString, kGridColumnCount> text{};
    int command_index = 0;
    RowColours colours = kDefaultRowColours;
  };

  explicit CommandGridModel(QObject* parent = nullptr);

  // Called after the user changed a cell, which already holds the new value;
  // false puts the old value back.
  void SetEditedHook(std::function<bool(int row, int column)> edited) {
    edited_ = std::move(edited);
  }

  void AddColumn(const GridColumnSpec& column);
  void AddListText(int column, const QString& text);
  const QStringList& list_texts() const { return list_texts_; }
  const std::vector<QIcon>& icons() const { return icons_; }
  const GridColumnSpec& column_spec(int column) const {
    return columns_[column];
  }

  // The editor's bracket. A grid emptied inside it is refilled as one model
  // reset, so the view takes in a whole segment at once, not row by row.
  void BeginBatch() { ++batch_depth_; }
  void EndBatch();
  bool resetting() const { return resetting_; }

  void InsertRow(int row, const RowRecord& record);
  void DeleteRow(int row);
  void MoveRow(int row, int target);
  void DeleteAllRows();
  const Row& row(int index) const { return rows_[index]; }
  bool ValidRow(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size());
  }
  // The editor's own write: no edit is reported.
  void SetText(int row, int column, const QString& text);
  void SetColours(int row, const RowColours& colours);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // The user's edit: EditRole only; the command column takes the catalogue
  // index, the others text.
  bool setData(const QModelIndex& index, const QVariant& value,
               int role) override;

 signals:
  // A user's edit was offered to the editor (accepted or not).
  void cellEdited(int row, int column);

 private:
  QString CommandName(int command_index) const;
  void RowChanged(int row, int first_column, int last_column);

  std::vector<GridColumnSpec> columns_;
  std::vector<QString> headers_;
  QStringList list_texts_;
  std::vector<QIcon> icons_;
  std::vector<Row> rows_;
  std::function<bool(int, int)> edited_;
  int batch_depth_ = 0;
  bool resetting_ = false;
};

}  // namespace lumera
