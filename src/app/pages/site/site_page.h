// The site page (tab 3): a site file opened, made or changed, the
// installation it describes, controller by controller, the site jobs run
// over it, and its journal. The file's grammar, the runs and every rule
// about them are the core's (core/site/); the page only shows them.
#pragma once

#include <QElapsedTimer>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/pages/page.h"
#include "core/site/run/site_run.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableView;

namespace lumera {

class SiteDocument;
class SiteJournalPanel;
class SiteLinesModel;
class SiteRunProgress;
class SiteRunner;
class SiteTableModel;
struct SiteFile;

class SitePage : public Page {
 public:
  SitePage(PageContext& context, QWidget* parent);
  ~SitePage() override;

  void RefreshOnTabChange() override {}
  bool WindowClosing() override;
  void EndJobs() override;

  // Shows the site of `path` and remembers it; a file with faults shows
  // them and changes nothing else. True when opened.
  bool OpenSite(const std::filesystem::path& path);
  // Writes the lines back to the site file; when what would be written is
  // no valid site, shows why (row by row) and writes nothing.
  bool SaveSite();

  // The time-out of each reply in the site's jobs (the command line's
  // --timeout-ms), 3000 ms unless set.
  void set_timeout_ms(int ms) { timeout_ms_ = ms; }

  const std::filesystem::path& site_path() const { return site_path_; }
  const SiteLinesModel& lines() const { return *lines_model_; }
  const SiteTableModel& installation() const { return *table_model_; }
  SiteRunner& runner() const { return *runner_; }

 private:
  QWidget* BuildInstallationView();
  QWidget* BuildLinesView();

  void OnOpen();
  void OnNew();
  void OnAddLine();
  void OnRemoveLine();
  void OnProgram();
  // Changed lines are saved or dropped as the user says; false: stay.
  bool MayLeaveChanges();
  void ShowSite(const std::filesystem::path& path, const SiteFile& site);
  void ShowFaults(const QString& heading, const QStringList& faults);
  void ShowJournal();
  void UpdateButtons();
  int CurrentLine() const;

  // The run (site_page_run.cpp).
  void OnJob(SiteCommand command, bool resume);
  void OnAbort();
  void OnReport();
  void OnRunEnded();
  void ShowSummary(const QString& text, const QColor& colour);

  PageContext& context_;
  std::filesystem::path site_path_;  // empty: no site open
  SiteLinesModel* lines_model_;
  SiteTableModel* table_model_;
  SiteRunner* runner_;
  QLabel* file_label_ = nullptr;
  QTableView* lines_view_ = nullptr;
  QLabel* faults_heading_ = nullptr;
  QListWidget* faults_ = nullptr;
  QTableView* table_view_ = nullptr;
  SiteRunProgress* progress_ = nullptr;
  QWidget* summary_box_ = nullptr;
  QLabel* summary_mark_ = nullptr;
  QLabel* summary_ = nullptr;
  SiteJournalPanel* journal_ = nullptr;
  QTabWidget* views_ = nullptr;

  int timeout_ms_ = 3000;
  // What "Wznów" takes up again: the command of the journal's last run.
  std::optional<SiteCommand> resume_command_;
  // The run under way or ended last.
  SiteCommand run_command_ = SiteCommand::kStatus;
  QElapsedTimer run_clock_;
  bool aborted_ = false;
  bool has_report_ = false;
};

}  // namespace lumera
