#include "app/pages/site/site_table_model.h"

#include <QDateTime>
#include <QPainter>
#include <QPixmap>

#include "app/widgets/qt_text.h"

namespace lumera {
namespace {

constexpr const char* kHeaders[kSiteColumnCount] = {"Linia",
                                                    "Sterownik",
                                                    "Stan",
                                                    "Wersja",
                                                    "Odchyłka zegara",
                                                    "SHA-256 programu",
                                                    "Ostatni wpis w dzienniku",
                                                    "Kiedy"};

// A short sum names a program well enough to tell two apart in a table.
constexpr int kShortSum = 12;

}  // namespace

QPixmap SiteStateMark(const QColor& colour) {
  QPixmap mark(12, 12);
  mark.fill(Qt::transparent);
  QPainter painter(&mark);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(colour.darker(140));
  painter.setBrush(colour);
  painter.drawEllipse(QRectF(1, 1, 10, 10));
  return mark;
}

// The journal keeps UTC; people read their own clock.
QString SiteLocalTime(const std::string& utc) {
  if (utc.empty()) return {};
  const QDateTime time = QDateTime::fromString(ToQString(utc), Qt::ISODate);
  if (!time.isValid()) return ToQString(utc);
  return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString SiteStateText(const SiteInstallationRow& row) {
  if (row.running) return QStringLiteral("w toku");
  if (row.waiting) return QStringLiteral("oczekuje");
  if (!row.outcome) return {};
  return ToQString(SiteOutcomeText(*row.outcome));
}

QColor SiteStateColour(const SiteInstallationRow& row) {
  if (row.running) return QColor(0x2f, 0x6f, 0xd0);  // blue
  if (row.waiting || !row.outcome) return {};
  switch (*row.outcome) {
    case SiteOutcome::kDone:
    case SiteOutcome::kVerified:
      return QColor(0x2e, 0x9d, 0x3a);  // green
    case SiteOutcome::kDiffers:
      return QColor(0xe0, 0x9b, 0x10);  // amber
    case SiteOutcome::kAbsent:
    case SiteOutcome::kSkipped:
      return QColor(0x9a, 0x9a, 0x9a);  // grey
    case SiteOutcome::kFailed:
      return QColor(0xd0, 0x30, 0x30);  // red
  }
  return {};
}

SiteTableModel::SiteTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void SiteTableModel::SetRows(std::vector<SiteInstallationRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void SiteTableModel::Planned(const std::vector<SitePlanLine>& plan) {
  for (const SitePlanLine& line : plan) {
    for (const SiteController& c : line.controllers) {
      MarkWaiting(rows_, line.name, c.number);
    }
  }
  AllChanged();
}

void SiteTableModel::Begun(const std::string& line, int controller) {
  RowChanged(MarkBegun(rows_, line, controller));
}

void SiteTableModel::Ended(const SiteRow& row) {
  RowChanged(MarkEnded(rows_, row));
}

void SiteTableModel::RunEnded(const std::vector<SiteRow>& rows) {
  for (const SiteRow& row : rows) MarkEnded(rows_, row);
  MarkRunEnded(rows_);
  AllChanged();
}

void SiteTableModel::SetJournal(const SiteJournalView& journal) {
  ApplyJournal(journal, rows_);
  AllChanged();
}

void SiteTableModel::RowChanged(int row) {
  if (row < 0) return;
  emit dataChanged(index(row, 0), index(row, kSiteColumnCount - 1));
}

void SiteTableModel::AllChanged() {
  if (rows_.empty()) return;
  emit dataChanged(index(0, 0), index(static_cast<int>(rows_.size()) - 1,
                                      kSiteColumnCount - 1));
}

int SiteTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SiteTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kSiteColumnCount;
}

QVariant SiteTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const SiteInstallationRow& row =
      rows_.at(static_cast<std::size_t>(index.row()));
  const auto column = static_cast<SiteColumn>(index.column());
  if (column == SiteColumn::kState && role == Qt::DecorationRole) {
    const QColor colour = SiteStateColour(row);
    return colour.isValid() ? QVariant(SiteStateMark(colour)) : QVariant();
  }
  if (column == SiteColumn::kProgramSum && role == Qt::ToolTipRole) {
    return ToQString(row.program_sha256);
  }
  // Why it failed, or what it found: too long for the cell.
  if (column == SiteColumn::kState && role == Qt::ToolTipRole &&
      !row.note.empty()) {
    return ToQString(row.note);
  }
  if (column == SiteColumn::kController && role == Qt::TextAlignmentRole) {
    return static_cast<int>(Qt::AlignCenter);
  }
  if (role != Qt::DisplayRole) return {};
  switch (column) {
    case SiteColumn::kLine:
      return ToQString(row.line);
    case SiteColumn::kController:
      return row.controller;
    case SiteColumn::kState:
      return SiteStateText(row);
    case SiteColumn::kVersion:
      return ToQString(row.version);
    case SiteColumn::kClockOffset:
      return ToQString(row.clock_offset);
    case SiteColumn::kProgramSum:
      return ToQString(row.program_sha256).left(kShortSum);
    case SiteColumn::kJournalOutcome:
      return ToQString(row.journal_outcome);
    case SiteColumn::kJournalTime:
      return SiteLocalTime(row.journal_time);
  }
  return {};
}

QVariant SiteTableModel::headerData(int section, Qt::Orientation orientation,
                                    int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  return section >= 0 && section < kSiteColumnCount
             ? QString::fromUtf8(kHeaders[section])
             : QVariant();
}

}  // namespace lumera
