// The grid's cell editors: a drop-down of the catalogue with its icons for
// the command column, a line for the others. The editor is asked before an
// editor opens; a refused cell gets none. Also paints the current row as a
// tint over the row's own colours, so a coloured row stays recognisable.
#pragma once

#include <QStyledItemDelegate>

namespace lumera {

class CommandGridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit CommandGridDelegate(QObject* parent = nullptr);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

}  // namespace lumera
