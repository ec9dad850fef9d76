// The site page (tab 3): a site file opened, made or changed, the
// installation it describes, controller by controller, and its journal. The
// file's grammar and every rule about it are the core's (core/site/); the
// page only shows them.
#pragma once

#include <filesystem>

#include "app/pages/page.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableView;
class QTreeWidget;

namespace lumera {

class SiteDocument;
class SiteLinesModel;
class SiteTableModel;
struct SiteFile;

class SitePage : public Page {
 public:
  SitePage(PageContext& context, QWidget* parent);
  ~SitePage() override;

  void RefreshOnTabChange() override {}
  void WindowClosing() override;

  // Shows the site of `path` and remembers it; a file with faults shows
  // them and changes nothing else. True when opened.
  bool OpenSite(const std::filesystem::path& path);
  // Writes the lines back to the site file; when what would be written is
  // no valid site, shows why (row by row) and writes nothing.
  bool SaveSite();

  const std::filesystem::path& site_path() const { return site_path_; }
  const SiteLinesModel& lines() const { return *lines_model_; }
  const SiteTableModel& installation() const { return *table_model_; }

 private:
  QWidget* BuildInstallationView();
  QWidget* BuildLinesView();
  QWidget* BuildJournalView();

  void OnOpen();
  void OnNew();
  void OnAddLine();
  void OnRemoveLine();
  void OnProgram();
  // Changed lines are saved or dropped as the user says; false: stay.
  bool MayLeaveChanges();
  void ShowSite(const std::filesystem::path& path, const SiteFile& site);
  void ShowFaults(const QString& heading, const QStringList& faults);
  void UpdateButtons();
  int CurrentLine() const;

  PageContext& context_;
  std::filesystem::path site_path_;  // empty: no site open
  SiteLinesModel* lines_model_;
  SiteTableModel* table_model_;
  QLabel* file_label_ = nullptr;
  QTableView* lines_view_ = nullptr;
  QLabel* faults_heading_ = nullptr;
  QListWidget* faults_ = nullptr;
  QTableView* table_view_ = nullptr;
  QTreeWidget* journal_ = nullptr;
  QLabel* journal_unreadable_ = nullptr;
  QTabWidget* views_ = nullptr;
};

}  // namespace lumera
