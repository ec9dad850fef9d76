#include "app/pages/editor/command_grid_model.h"

#include <QColor>

#include "app/pages/editor/command_icons.h"
#include "app/widgets/qt_text.h"
#include "core/editor/editor.h"
#include "core/editor/grid_rows.h"
#include "core/model/command_catalogue.h"

namespace lumera {
namespace {

QColor ToQColor(const Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

Qt::Alignment ToQt(CellAlignment alignment) {
  return (alignment == CellAlignment::kRight ? Qt::AlignRight : Qt::AlignLeft) |
         Qt::AlignVCenter;
}

}  // namespace

CommandGridModel::CommandGridModel(Editor& editor, QObject* parent)
    : QAbstractTableModel(parent), editor_(editor), icons_(LoadCommandIcons()) {
  for (const CommandDef& def : CommandCatalogue()) {
    list_texts_.push_back(ToQString(def.name));
  }
  editor_.SetRowsListener(this);
}

CommandGridModel::~CommandGridModel() { editor_.SetRowsListener(nullptr); }

bool CommandGridModel::CanEdit(const QModelIndex& index) const {
  return index.isValid() && editor_.CanEditCell(index.row(), index.column());
}

int CommandGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : editor_.rows().size();
}

int CommandGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kGridColumnCount;
}

QVariant CommandGridModel::data(const QModelIndex& index, int role) const {
  const WorkingSegment& rows = editor_.rows();
  if (!index.isValid() || !rows.ValidRow(index.row())) return {};
  const WorkingRow& row = rows.row(index.row());
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
      if (column != kCommandColumn) {
        return ToQString(CellText(row, index.row(), column));
      }
      const int command_index = RowCommandIndex(row);
      if (role == Qt::EditRole) return command_index;
      return command_index >= 0 && command_index < list_texts_.size()
                 ? list_texts_[command_index]
                 : QString();
    }
    case Qt::DecorationRole: {
      const int command_index = RowCommandIndex(row);
      if (column == kCommandColumn && command_index >= 0 &&
          command_index < static_cast<int>(icons_.size())) {
        return icons_[command_index];
      }
      return {};
    }
    case Qt::BackgroundRole:
      return ToQColor(RowColoursForComment(row.comment).background);
    case Qt::ForegroundRole:
      return ToQColor(RowColoursForComment(row.comment).text);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(ToQt(GridColumns()[column].cell_alignment));
    case kFindingRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
      if (column != kNumberColumn) return {};
      const ProgramFinding* finding = editor_.RowFinding(index.row());
      if (role == kFindingRole) return finding != nullptr;
      return finding != nullptr ? ToQString(FindingText(*finding)) : QVariant();
    }
    default:
      return {};
  }
}

void CommandGridModel::FindingsChanged() {
  if (rowCount() > 0) {
    emit dataChanged(index(0, kNumberColumn),
                     index(rowCount() - 1, kNumberColumn));
  }
}

QVariant CommandGridModel::headerData(int section, Qt::Orientation orientation,
                                      int role) const {
  if (orientation == Qt::Vertical) {
    return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
  }
  if (section < 0 || section >= kGridColumnCount) return {};
  if (role == Qt::DisplayRole) return ToQString(GridColumns()[section].header);
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(ToQt(GridColumns()[section].header_alignment));
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
  if (role != Qt::EditRole || !index.isValid()) return false;
  const int row = index.row();
  const int column = index.column();
  const bool taken =
      column == kCommandColumn
          ? editor_.ChooseRowCommand(row, value.toInt())
          : editor_.EditCell(row, column, value.toString().toStdString());
  emit cellEdited(row, column);
  return taken;
}

void CommandGridModel::RowsAboutToBeReset() {
  changing_ = true;
  beginResetModel();
}

void CommandGridModel::RowsReset() {
  endResetModel();
  changing_ = false;
  emit currentCellMoved(editor_.current_row(), editor_.current_column());
}

void CommandGridModel::RowAboutToBeInserted(int row) {
  changing_ = true;
  beginInsertRows(QModelIndex(), row, row);
}

void CommandGridModel::RowInserted(int /*row*/) {
  endInsertRows();
  Changed();
}

void CommandGridModel::RowAboutToBeRemoved(int row) {
  changing_ = true;
  beginRemoveRows(QModelIndex(), row, row);
}

void CommandGridModel::RowRemoved(int /*row*/) {
  endRemoveRows();
  Changed();
}

void CommandGridModel::RowAboutToBeMoved(int row, int target) {
  changing_ = true;
  // Qt counts the destination before the move.
  beginMoveRows(QModelIndex(), row, row, QModelIndex(),
                target > row ? target + 1 : target);
}

void CommandGridModel::RowMoved(int /*row*/, int /*target*/) {
  endMoveRows();
  Changed();
}

void CommandGridModel::Changed() {
  changing_ = false;
  // The view may have moved its current cell on its own: the editor's
  // stands.
  emit currentCellMoved(editor_.current_row(), editor_.current_column());
  // Row numbers and the rows behind a change have moved.
  if (rowCount() > 0) {
    emit dataChanged(index(0, kNumberColumn),
                     index(rowCount() - 1, kNumberColumn));
  }
}

void CommandGridModel::RowChanged(int row) {
  emit dataChanged(index(row, 0), index(row, kGridColumnCount - 1));
}

void CommandGridModel::CurrentCellMoved(int row, int column) {
  emit currentCellMoved(row, column);
}

}  // namespace lumera
