#include "app/pages/editor/command_grid_view.h"

#include <QHeaderView>
#include <QProxyStyle>
#include <algorithm>

#include "app/pages/editor/command_grid_delegate.h"
#include "app/pages/editor/command_grid_model.h"
#include "app/widgets/qt_text.h"
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

CommandGridView::CommandGridView(QWidget* parent)
    : QTableView(parent),
      model_(new CommandGridModel(this)),
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

  model_->SetEditedHook([this](int row, int column) {
    if (update_depth_ > 0 || events_ == nullptr) return true;
    const bool taken = events_->OnCellEdited(row, column);
    emit cellOffered();
    return taken;
  });
  delegate_->SetBeforeEditHook([this](int row, int column) {
    return events_ == nullptr || events_->OnBeforeCellEdit(row, column);
  });
}

void CommandGridView::AddColumn(const GridColumnSpec& column) {
  model_->AddColumn(column);
  const int added = model_->columnCount() - 1;
  // The widths suit a small font; neither a header nor the bytes of the
  // HEX column may be cut off in a larger one.
  const QString widest = added == kHexColumn ? QStringLiteral("00,00,00")
                                             : ToQString(column.header);
  const int needed = fontMetrics().horizontalAdvance(widest) + 12;
  horizontalHeader()->resizeSection(added, std::max(column.width, needed));
}

void CommandGridView::AddListText(int column, std::string_view text) {
  model_->AddListText(column, ToQString(text));
}

void CommandGridView::AppendRow(const RowRecord& record) {
  model_->InsertRow(model_->rowCount(), record);
  KeepACurrentCell();
}

void CommandGridView::InsertRow(int row, const RowRecord& record) {
  model_->InsertRow(row, record);
  KeepACurrentCell();
}

void CommandGridView::DeleteRow(int row) { model_->DeleteRow(row); }

void CommandGridView::MoveRow(int row, int target) {
  model_->MoveRow(row, target);
}

void CommandGridView::DeleteAllRows() {
  const int column = CurrentColumn();
  model_->DeleteAllRows();
  current_column_ = column;
}

int CommandGridView::RowCount() const { return model_->rowCount(); }

int CommandGridView::CurrentRow() const {
  if (model_->rowCount() == 0) return -1;
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

int CommandGridView::CurrentColumn() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.column() : current_column_;
}

void CommandGridView::SetCurrentCell(int row, int column) {
  if (!model_->ValidRow(row) || column < 0 || column >= kGridColumnCount) {
    return;
  }
  current_column_ = column;
  if (model_->resetting()) {
    pending_row_ = row;  // the view learns of the row when the reset ends
    return;
  }
  const QModelIndex cell = model_->index(row, column);
  setCurrentIndex(cell);
  scrollTo(cell);
}

std::string CommandGridView::CellText(int row, int column) const {
  if (!model_->ValidRow(row) || column < 0 || column >= kGridColumnCount) {
    return {};
  }
  return model_->index(row, column)
      .data(Qt::DisplayRole)
      .toString()
      .toStdString();
}

void CommandGridView::SetCellText(int row, int column, std::string_view text) {
  if (!model_->ValidRow(row)) return;
  model_->SetText(row, column, ToQString(text));
  // Outside the bracket a write is the user's, as any grid would take it.
  if (update_depth_ == 0 && events_ != nullptr) {
    emit model_->cellEdited(row, column);
    events_->OnCellEdited(row, column);
    emit cellOffered();
  }
}

int CommandGridView::CommandIndex(int row) const {
  return model_->ValidRow(row) ? model_->row(row).command_index : -1;
}

void CommandGridView::SetRowColours(int row, const RowColours& colours) {
  model_->SetColours(row, colours);
}

void CommandGridView::BeginUpdate() {
  ++update_depth_;
  model_->BeginBatch();
}

void CommandGridView::EndUpdate() {
  if (update_depth_ > 0) --update_depth_;
  model_->EndBatch();
  if (model_->resetting()) return;
  if (pending_row_ >= 0) {
    const int row = pending_row_;
    pending_row_ = -1;
    SetCurrentCell(row, current_column_);
  }
  KeepACurrentCell();
}

std::pair<int, int> CommandGridView::SelectedRows() const {
  int first = -1;
  int last = -1;
  for (const QModelIndex& index : selectionModel()->selectedRows()) {
    if (first < 0 || index.row() < first) first = index.row();
    last = std::max(last, index.row());
  }
  if (first >= 0) return {first, last - first + 1};
  const int current = CurrentRow();
  return current >= 0 ? std::pair{current, 1} : std::pair{-1, 0};
}

void CommandGridView::currentChanged(const QModelIndex& current,
                                     const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (!current.isValid()) return;
  current_column_ = current.column();
  if (events_ != nullptr) {
    events_->OnCurrentCellMoved(current.row(), current.column());
  }
}

void CommandGridView::KeepACurrentCell() {
  // The view knows no rows until a refill's reset has ended.
  if (model_->resetting()) return;
  if (model_->rowCount() > 0 && !currentIndex().isValid()) {
    SetCurrentCell(0, current_column_);
  }
}

}  // namespace lumera
