// The command grid's Qt model: a view of the editor's working copy. It
// formats the rows in data() and hands what the user typed or chose to the
// editor in setData(); the edit rules are the editor's.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>
#include <vector>

#include "core/editor/working_segment.h"

namespace lumera {

class Editor;

// Data role of a number cell: true when the row has a finding of the
// program check (the grid marks the cell; the tool tip says what it is).
inline constexpr int kFindingRole = Qt::UserRole + 1;

class CommandGridModel : public QAbstractTableModel,
                         public WorkingSegmentListener {
  Q_OBJECT

 public:
  explicit CommandGridModel(Editor& editor, QObject* parent = nullptr);
  ~CommandGridModel() override;

  Editor& editor() { return editor_; }
  const QStringList& list_texts() const { return list_texts_; }
  const std::vector<QIcon>& icons() const { return icons_; }
  // Whether the editor lets an edit of the cell start.
  bool CanEdit(const QModelIndex& index) const;
  // The program check's findings changed: the marks of the number cells.
  void FindingsChanged();
  // Rows are being inserted, removed, moved or reset: the view's own
  // current-cell bookkeeping is not the user's choice then.
  bool changing() const { return changing_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // The user's edit: EditRole only; the command column takes the catalogue
  // index, the others text. False when the editor refused it.
  bool setData(const QModelIndex& index, const QVariant& value,
               int role) override;

  // WorkingSegmentListener.
  void RowsAboutToBeReset() override;
  void RowsReset() override;
  void RowAboutToBeInserted(int row) override;
  void RowInserted(int row) override;
  void RowAboutToBeRemoved(int row) override;
  void RowRemoved(int row) override;
  void RowAboutToBeMoved(int row, int target) override;
  void RowMoved(int row, int target) override;
  void RowChanged(int row) override;
  void CurrentCellMoved(int row, int column) override;

 signals:
  // A user's edit was offered to the editor (taken or not).
  void cellEdited(int row, int column);
  // The editor's current cell; the view follows it.
  void currentCellMoved(int row, int column);

 private:
  void Changed();

  Editor& editor_;
  QStringList list_texts_;
  std::vector<QIcon> icons_;
  bool changing_ = false;
};

}  // namespace lumera
