// The installation table: a Qt view of the core's rows, one a controller.
// A state shows as a coloured mark and always as its text beside it.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QPixmap>
#include <vector>

#include "core/site/run/site_installation.h"
#include "core/site/run/site_plan.h"

namespace lumera {

enum class SiteColumn {
  kLine,
  kController,
  kState,
  kVersion,
  kClockOffset,
  kProgramSum,
  kJournalOutcome,
  kJournalTime,
};
inline constexpr int kSiteColumnCount = 8;

// The state's text ("zweryfikowany", "w toku", ...); empty before a run.
QString SiteStateText(const SiteInstallationRow& row);
// Its colour; invalid before a run.
QColor SiteStateColour(const SiteInstallationRow& row);
// A round mark of a state's colour.
QPixmap SiteStateMark(const QColor& colour);
// A journal's UTC time (ISO 8601) on this computer's clock.
QString SiteLocalTime(const std::string& utc);

class SiteTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit SiteTableModel(QObject* parent = nullptr);

  void SetRows(std::vector<SiteInstallationRow> rows);
  const std::vector<SiteInstallationRow>& rows() const { return rows_; }

  // A run's events, as the page hears them: each changes its row only.
  void Planned(const std::vector<SitePlanLine>& plan);
  void Begun(const std::string& line, int controller);
  void Ended(const SiteRow& row);
  // The run's rows, whichever of its events came before.
  void RunEnded(const std::vector<SiteRow>& rows);
  // The journal's last word on each controller, read anew.
  void SetJournal(const SiteJournalView& journal);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;

 private:
  void RowChanged(int row);
  void AllChanged();

  std::vector<SiteInstallationRow> rows_;
};

}  // namespace lumera
