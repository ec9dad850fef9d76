#include "app/pages/editor/command_grid_delegate.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QValidator>
#include <algorithm>

#include "app/pages/editor/command_grid_model.h"
#include "core/editor/cell_input.h"
#include "core/editor/grid_rows.h"
#include "core/model/comment_table.h"

namespace lumera {
namespace {

// A comment the file cannot keep is refused key by key, so the cell never
// shows what would not be saved.
class CommentValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& /*position*/) const override {
    return CheckCommentText(input.toStdString()) == CommentCheck::kAccepted
               ? Acceptable
               : Invalid;
  }
};

const CommandGridModel* GridModel(const QModelIndex& index) {
  return qobject_cast<const CommandGridModel*>(index.model());
}

// A red corner in the number cell of a row the program check found
// something in: it needs no room of the cell's own, at any font size.
void PaintFindingMark(QPainter* painter, const QRect& cell) {
  const int size = std::max(6, cell.height() / 2);
  const QPoint corner = cell.topLeft();
  const QPolygon mark(
      {corner, corner + QPoint(size, 0), corner + QPoint(0, size)});
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setPen(Qt::NoPen);
  painter->setBrush(QColor(220, 0, 0));
  painter->drawPolygon(mark);
  painter->restore();
}

}  // namespace

CommandGridDelegate::CommandGridDelegate(QObject* parent)
    : QStyledItemDelegate(parent) {}

QWidget* CommandGridDelegate::createEditor(QWidget* parent,
                                           const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const {
  const CommandGridModel* model = GridModel(index);
  if (model == nullptr || !model->CanEdit(index)) return nullptr;
  if (index.column() == kCommandColumn) {
    auto* combo = new QComboBox(parent);
    combo->setAccessibleName(QStringLiteral("Komenda"));
    combo->setMaxVisibleItems(20);
    const QStringList& names = model->list_texts();
    for (int entry = 0; entry < names.size(); ++entry) {
      const bool has_icon = entry < static_cast<int>(model->icons().size());
      combo->addItem(has_icon ? model->icons()[entry] : QIcon(), names[entry]);
    }
    // A choice is the whole edit.
    connect(combo, &QComboBox::activated, this, [this, combo] {
      auto* self = const_cast<CommandGridDelegate*>(this);
      emit self->commitData(combo);
      emit self->closeEditor(combo);
    });
    return combo;
  }
  auto* line = qobject_cast<QLineEdit*>(
      QStyledItemDelegate::createEditor(parent, option, index));
  if (line != nullptr && index.column() == kCommentColumn) {
    line->setMaxLength(static_cast<int>(kMaxCommentChars));
    line->setValidator(new CommentValidator(line));
  }
  return line;
}

void CommandGridDelegate::setEditorData(QWidget* editor,
                                        const QModelIndex& index) const {
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    combo->setCurrentIndex(index.data(Qt::EditRole).toInt());
    return;
  }
  QStyledItemDelegate::setEditorData(editor, index);
}

void CommandGridDelegate::setModelData(QWidget* editor,
                                       QAbstractItemModel* model,
                                       const QModelIndex& index) const {
  // Leaving a cell unchanged is no edit.
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    if (combo->currentIndex() != index.data(Qt::EditRole).toInt()) {
      model->setData(index, combo->currentIndex(), Qt::EditRole);
    }
    return;
  }
  if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    if (line->text() != index.data(Qt::EditRole).toString()) {
      model->setData(index, line->text(), Qt::EditRole);
    }
    return;
  }
  QStyledItemDelegate::setModelData(editor, model, index);
}

void CommandGridDelegate::paint(QPainter* painter,
                                const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  QStyleOptionViewItem plain(option);
  const bool selected = option.state.testFlag(QStyle::State_Selected);
  plain.state &= ~QStyle::State_Selected;
  QStyledItemDelegate::paint(painter, plain, index);
  if (index.column() == kNumberColumn && index.data(kFindingRole).toBool()) {
    PaintFindingMark(painter, option.rect);
  }
  if (!selected) return;
  QColor tint = option.palette.color(QPalette::Highlight);
  tint.setAlpha(70);
  painter->fillRect(option.rect, tint);
  if (option.state.testFlag(QStyle::State_HasFocus)) {
    painter->save();
    painter->setPen(QPen(option.palette.color(QPalette::Highlight), 1));
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter->restore();
  }
}

}  // namespace lumera
