#include "app/pages/editor/command_grid_model.h"

#include <QColor>

#include "app/pages/editor/command_icons.h"
#include "app/widgets/qt_text.h"

namespace lumera {
namespace {

QColor ToQColor(const Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

Qt::Alignment ToQt(CellAlignment alignment) {
  return (alignment == CellAlignment::kRight ? Qt::AlignRight : Qt::AlignLeft) |
         Qt::AlignVCenter;
}

QString Optional(const std::optional<std::string>& text) {
  return text ? ToQString(*text) : QString();
}

}  // namespace

CommandGridModel::CommandGridModel(QObject* parent)
    : QAbstractTableModel(parent), icons_(LoadCommandIcons()) {}

void CommandGridModel::AddColumn(const GridColumnSpec& column) {
  const int at = static_cast<int>(columns_.size());
  beginInsertColumns(QModelIndex(), at, at);
  columns_.push_back(column);
  headers_.push_back(ToQString(column.header));
  endInsertColumns();
}

void CommandGridModel::AddListText(int column, const QString& text) {
  // One list: the command column's.
  if (column == kCommandColumn) list_texts_.push_back(text);
}

void CommandGridModel::InsertRow(int row, const RowRecord& record) {
  if (row < 0 || row > static_cast<int>(rows_.size())) return;
  Row added;
  added.command_index = record.command_index;
  added.text[kLabel1Column] = ToQString(record.label1);
  added.text[kValue1Column] = ToQString(record.value1);
  added.text[kLabel2Column] = ToQString(record.label2);
  added.text[kValue2Column] = ToQString(record.value2);
  added.text[kCommentColumn] = Optional(record.comment);
  added.text[kHexColumn] = ToQString(record.hex);
  if (resetting_) {
    rows_.insert(rows_.begin() + row, std::move(added));
    return;
  }
  beginInsertRows(QModelIndex(), row, row);
  rows_.insert(rows_.begin() + row, std::move(added));
  endInsertRows();
}

void CommandGridModel::DeleteRow(int row) {
  if (!ValidRow(row)) return;
  if (resetting_) {
    rows_.erase(rows_.begin() + row);
    return;
  }
  beginRemoveRows(QModelIndex(), row, row);
  rows_.erase(rows_.begin() + row);
  endRemoveRows();
}

void CommandGridModel::MoveRow(int row, int target) {
  if (!ValidRow(row) || !ValidRow(target) || row == target) return;
  if (resetting_) {
    Row moved = std::move(rows_[row]);
    rows_.erase(rows_.begin() + row);
    rows_.insert(rows_.begin() + target, std::move(moved));
    return;
  }
  // Qt counts the destination before the move.
  const int destination = target > row ? target + 1 : target;
  beginMoveRows(QModelIndex(), row, row, QModelIndex(), destination);
  Row moved = std::move(rows_[row]);
  rows_.erase(rows_.begin() + row);
  rows_.insert(rows_.begin() + target, std::move(moved));
  endMoveRows();
}

void CommandGridModel::DeleteAllRows() {
  if (resetting_) {
    rows_.clear();
    return;
  }
  beginResetModel();
  rows_.clear();
  if (batch_depth_ > 0) {
    resetting_ = true;  // ended with the bracket
    return;
  }
  endResetModel();
}

void CommandGridModel::EndBatch() {
  if (batch_depth_ > 0) --batch_depth_;
  if (batch_depth_ == 0 && resetting_) {
    resetting_ = false;
    endResetModel();
  }
}

void CommandGridModel::SetText(int row, int column, const QString& text) {
  if (!ValidRow(row) || column < 0 || column >= kGridColumnCount) return;
  if (column == kCommandColumn) return;  // holds an index, not a text
  QString& cell = rows_[row].text[column];
  if (cell == text) return;
  cell = text;
  RowChanged(row, column, column);
}

void CommandGridModel::SetColours(int row, const RowColours& colours) {
  if (!ValidRow(row) || rows_[row].colours == colours) return;
  rows_[row].colours = colours;
  RowChanged(row, 0, columnCount() - 1);
}

void CommandGridModel::RowChanged(int row, int first_column, int last_column) {
  if (resetting_) return;  // the reset tells the view all at once
  emit dataChanged(index(row, first_column), index(row, last_column));
}

QString CommandGridModel::CommandName(int command_index) const {
  return command_index >= 0 && command_index < list_texts_.size()
             ? list_texts_[command_index]
             : QString();
}

int CommandGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CommandGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant CommandGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !ValidRow(index.row())) return {};
  const Row& row = rows_[index.row()];
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return column == kCommandColumn ? CommandName(row.command_index)
                                      : row.text[column];
    case Qt::EditRole:
      return column == kCommandColumn ? QVariant(row.command_index)
                                      : QVariant(row.text[column]);
    case Qt::DecorationRole:
      if (column == kCommandColumn && row.command_index >= 0 &&
          row.command_index < static_cast<int>(icons_.size())) {
        return icons_[row.command_index];
      }
      return {};
    case Qt::BackgroundRole:
      return ToQColor(row.colours.background);
    case Qt::ForegroundRole:
      return ToQColor(row.colours.text);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(ToQt(columns_[column].cell_alignment));
    default:
      return {};
  }
}

QVariant CommandGridModel::headerData(int section, Qt::Orientation orientation,
                                      int role) const {
  if (orientation == Qt::Vertical) {
    return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
  }
  if (section < 0 || section >= static_cast<int>(columns_.size())) return {};
  if (role == Qt::DisplayRole) return headers_[section];
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(ToQt(columns_[section].header_alignment));
  }
  return {};
}

Qt::ItemFlags CommandGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  // Whether an edit may start is the editor's to say, when it starts.
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool CommandGridModel::setData(const QModelIndex& index, const QVariant& value,
                               int role) {
  if (role != Qt::EditRole || !index.isValid() || !ValidRow(index.row())) {
    return false;
  }
  const int row_index = index.row();
  const int column = index.column();
  Row& row = rows_[row_index];
  const int old_index = row.command_index;
  const QString old_text = row.text[column];
  if (column == kCommandColumn) {
    const int chosen = value.toInt();
    if (chosen < 0 || chosen >= list_texts_.size()) return false;
    row.command_index = chosen;
  } else {
    row.text[column] = value.toString();
  }
  RowChanged(row_index, column, column);
  emit cellEdited(row_index, column);
  if (!edited_ || edited_(row_index, column)) return true;
  // Refused: the cell shows what it held before.
  if (ValidRow(row_index)) {
    Row& refused = rows_[row_index];
    if (column == kCommandColumn) {
      refused.command_index = old_index;
    } else {
      refused.text[column] = old_text;
    }
    RowChanged(row_index, column, column);
  }
  return false;
}

}  // namespace lumera
