#include "app/pages/site/site_lines_model.h"

#include <QComboBox>
#include <QLineEdit>

#include "app/widgets/qt_text.h"

namespace lumera {
namespace {

constexpr const char* kHeaders[kSiteCellCount] = {"Linia", "Port", "Sterowniki",
                                                  "Program", "Adresy radiowe"};

SiteCell CellOf(int column) { return static_cast<SiteCell>(column); }

}  // namespace

SiteLinesModel::SiteLinesModel(QObject* parent) : QAbstractTableModel(parent) {}

void SiteLinesModel::Reset(SiteDocument document) {
  beginResetModel();
  document_ = std::move(document);
  changed_ = false;
  endResetModel();
}

void SiteLinesModel::Changed() { changed_ = true; }

int SiteLinesModel::AddLine(const QString& name, const QString& port) {
  const int row = document_.LineCount();
  beginInsertRows(QModelIndex(), row, row);
  document_.AddLine(name.toStdString());
  document_.SetCell(row, SiteCell::kPort, port.toStdString());
  document_.SetCell(row, SiteCell::kControllers, "1");
  endInsertRows();
  Changed();
  return row;
}

void SiteLinesModel::RemoveLine(int row) {
  if (row < 0 || row >= document_.LineCount()) return;
  beginRemoveRows(QModelIndex(), row, row);
  document_.RemoveLine(row);
  endRemoveRows();
  Changed();
}

void SiteLinesModel::SetProgram(int row, const QString& file) {
  if (row < 0 || row >= document_.LineCount()) return;
  document_.SetProgram(row, file.toStdString());
  const QModelIndex cell = index(row, static_cast<int>(SiteCell::kPrograms));
  emit dataChanged(cell, cell);
  Changed();
}

int SiteLinesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : document_.LineCount();
}

int SiteLinesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kSiteCellCount;
}

QVariant SiteLinesModel::data(const QModelIndex& index, int role) const {
  // The tool tip shows a long list of programs whole.
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole &&
                           role != Qt::ToolTipRole)) {
    return {};
  }
  return ToQString(document_.Cell(index.row(), CellOf(index.column())));
}

QVariant SiteLinesModel::headerData(int section, Qt::Orientation orientation,
                                    int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return section >= 0 && section < kSiteCellCount
             ? QString::fromUtf8(kHeaders[section])
             : QVariant();
}

Qt::ItemFlags SiteLinesModel::flags(const QModelIndex& index) const {
  return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool SiteLinesModel::setData(const QModelIndex& index, const QVariant& value,
                             int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const std::string before =
      document_.Cell(index.row(), CellOf(index.column()));
  const std::string refused = document_.SetCell(
      index.row(), CellOf(index.column()), value.toString().toStdString());
  if (!refused.empty()) {
    emit cellRefused(ToQString(refused));
    return false;
  }
  if (document_.Cell(index.row(), CellOf(index.column())) == before) {
    return true;
  }
  emit dataChanged(index, index);
  Changed();
  return true;
}

SitePortDelegate::SitePortDelegate(const PortList& ports, QObject* parent)
    : QStyledItemDelegate(parent), ports_(ports) {}

QWidget* SitePortDelegate::createEditor(QWidget* parent,
                                        const QStyleOptionViewItem& /*option*/,
                                        const QModelIndex& /*index*/) const {
  auto* combo = new QComboBox(parent);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setAccessibleName(QStringLiteral("Port"));
  for (const PortEntry& port : ports_.Entries()) {
    combo->addItem(ToQString(PortEntryText(port)),
                   QStringLiteral("COM%1").arg(port.number));
  }
  combo->lineEdit()->setPlaceholderText(
      QStringLiteral("COMn, tcp:HOST:PORT, rfc2217:HOST:PORT"));
  return combo;
}

void SitePortDelegate::setEditorData(QWidget* editor,
                                     const QModelIndex& index) const {
  auto* combo = qobject_cast<QComboBox*>(editor);
  if (combo == nullptr) return;
  const QString port = index.data(Qt::EditRole).toString();
  const int listed = combo->findData(port);
  if (listed >= 0) {
    combo->setCurrentIndex(listed);
  } else {
    combo->setEditText(port);
  }
}

void SitePortDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
  auto* combo = qobject_cast<QComboBox*>(editor);
  if (combo == nullptr) return;
  // A picked entry is its COM name; typed text is taken as it is.
  const QString text = combo->currentText();
  const int listed = combo->findText(text);
  model->setData(index, listed >= 0 ? combo->itemData(listed).toString() : text,
                 Qt::EditRole);
}

}  // namespace lumera
