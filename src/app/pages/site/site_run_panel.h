// The installation and the site jobs over it (the "Sterowniki" view): a
// button for each site command, "Wznów", "Przerwij" and "Raport…", a bar for
// each line while a run goes on, what the run came to, and a row for each
// controller. The run, its plan and every decision about it are the core's
// (SiteRun); the panel asks the user, shows what the run tells, and keeps
// nothing of a run of its own.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/site/run/site_commands.h"

class QLabel;
class QTableView;

namespace lumera {

class Page;
class SiteRunProgress;
class SiteRunner;
class SiteTableModel;
struct PageContext;
struct SiteFile;
struct SiteJournalView;

class SiteRunPanel : public QWidget {
 public:
  struct Hooks {
    // The site file as it stands, or empty when none is open.
    std::function<std::filesystem::path()> site_path;
    // Unsaved lines are saved or dropped first; false: no run.
    std::function<bool()> may_leave_changes;
    // The site file's faults, found as a run was prepared.
    std::function<void(const QString& heading, const QStringList& faults)>
        show_faults;
    // A run has begun or ended: the page's buttons follow.
    std::function<void()> state_changed;
    // A run that writes has ended: its journal has new lines.
    std::function<void()> journal_changed;
  };

  SiteRunPanel(PageContext& context, Hooks hooks, Page* page);
  ~SiteRunPanel() override;

  // The time-out of each reply in the site's jobs (the command line's
  // --timeout-ms), 3000 ms unless set.
  void set_timeout_ms(int ms) { timeout_ms_ = ms; }

  // A site shown anew (opened, saved): its installation, no run's marks.
  void ShowSite(const SiteFile& site);
  // A new site with no lines yet.
  void Clear();
  // The journal as read anew: each row's last word, and what "Wznów" takes
  // up.
  void ShowJournal(const SiteJournalView& journal);
  void UpdateButtons();
  // The run under way ends now, its journal written; it is no longer shown.
  void EndNow();

  SiteRunner& runner() const { return *runner_; }
  const SiteTableModel& installation() const { return *table_model_; }

 private:
  void OnJob(SiteCommand command, bool resume);
  void OnAbort();
  void OnReport();
  void OnRunEnded();
  void ShowSummary(const QString& text, const QColor& colour);
  void HideRun();

  PageContext& context_;
  Page* page_;
  Hooks hooks_;
  SiteTableModel* table_model_;
  SiteRunner* runner_;
  SiteRunProgress* progress_ = nullptr;
  QWidget* summary_box_ = nullptr;
  QLabel* summary_mark_ = nullptr;
  QLabel* summary_ = nullptr;
  QTableView* table_view_ = nullptr;
  int timeout_ms_ = 3000;
  std::optional<SiteCommand> resume_command_;
};

}  // namespace lumera
