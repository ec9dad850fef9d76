#include "app/pages/editor/command_grid_view.h"

#include <QHeaderView>
#include <QProxyStyle>
#include <algorithm>

#include "app/pages/editor/command_grid_delegate.h"
#include "app/pages/editor/command_grid_model.h"
#include "app/widgets/qt_text.h"
#include "core/editor/editor.h"
#include "core/editor/grid_rows.h"

namespace lumera {
namespace {

QColor ToQColor(const Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// The application's style, but the grid lines in the grid's own colour: the
// styles derive that from the window colour otherwise.
class GridStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option,
                const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_Table_GridLineColor) {
      return static_cast<int>(ToQColor(kGridLines).rgba());
    }
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }
};

}  // namespace

CommandGridView::CommandGridView(Editor& editor, QWidget* parent)
    : QTableView(parent),
      model_(new CommandGridModel(editor, this)),
      delegate_(new CommandGridDelegate(this)) {
  setModel(model_);
  setItemDelegate(delegate_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  // Shift with the arrows or the mouse extends a block of rows to copy.
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setAlternatingRowColors(false);
  setWordWrap(false);
  setShowGrid(true);
  setIconSize(QSize(15, 15));
  verticalHeader()->hide();  // the number column numbers the rows
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, ToQColor(kGridBackground));
  colours.setColor(QPalette::Text, ToQColor(kGridText));
  setPalette(colours);
  auto* style = new GridStyle;
  style->setParent(this);
  setStyle(style);

  for (int column = 0; column < kGridColumnCount; ++column) {
    const GridColumnSpec& spec = GridColumns()[column];
    // The widths suit a small font; neither a header nor the bytes of the
    // HEX column may be cut off in a larger one.
    const QString widest = column == kHexColumn ? QStringLiteral("00,00,00")
                                                : ToQString(spec.header);
    const int needed = fontMetrics().horizontalAdvance(widest) + 12;
    horizontalHeader()->resizeSection(column, std::max(spec.width, needed));
  }
  connect(model_, &CommandGridModel::currentCellMoved, this,
          &CommandGridView::Follow);
  Follow(editor.current_row(), editor.current_column());
}

void CommandGridView::Follow(int row, int column) {
  if (row < 0 || row >= model_->rowCount()) return;
  const QModelIndex cell = model_->index(row, column);
  if (currentIndex() == cell) return;
  following_ = true;
  setCurrentIndex(cell);
  scrollTo(cell);
  following_ = false;
}

std::pair<int, int> CommandGridView::SelectedRows() const {
  int first = -1;
  int last = -1;
  for (const QModelIndex& index : selectionModel()->selectedRows()) {
    if (first < 0 || index.row() < first) first = index.row();
    last = std::max(last, index.row());
  }
  if (first >= 0) return {first, last - first + 1};
  const int current = model_->editor().current_row();
  return current >= 0 ? std::pair{current, 1} : std::pair{-1, 0};
}

void CommandGridView::currentChanged(const QModelIndex& current,
                                     const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  // The view's own moves while rows change are put right by the model.
  if (!current.isValid() || following_ || model_->changing()) return;
  model_->editor().SelectCell(current.row(), current.column());
  emit currentCellChosen(current.row(), current.column());
}

}  // namespace lumera
