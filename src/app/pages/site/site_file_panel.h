// The site file and its lines: opened, made anew, changed in the table of
// lines and saved back, with whatever keeps it from opening or being saved
// shown above the views. The panel is the "Linie" view; its file bar and
// fault list stand at the top of the page.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <filesystem>
#include <functional>

class QLabel;
class QListWidget;
class QTableView;

namespace lumera {

class Page;
class SiteLinesModel;
struct PageContext;
struct SiteFile;

class SiteFilePanel : public QWidget {
 public:
  struct Hooks {
    // A site was opened or saved, and is shown as it now stands.
    std::function<void(const std::filesystem::path&, const SiteFile&)> shown;
    // A new site was begun: no installation, no journal yet.
    std::function<void()> begun;
    // A site run is under way: the file stays as it is.
    std::function<bool()> running;
    // The faults of a save are in the table of lines: show it.
    std::function<void()> show_lines;
  };

  SiteFilePanel(PageContext& context, Hooks hooks, Page* page);

  // The file bar and the fault list, for the top of the page.
  QWidget* bar() const { return bar_; }

  // Shows the site of `path` and remembers it; a file with faults shows
  // them and changes nothing else. True when opened.
  bool OpenSite(const std::filesystem::path& path);
  // Writes the lines back to the site file; when what would be written is
  // no valid site, shows why (row by row) and writes nothing.
  bool SaveSite();
  // Changed lines are saved or dropped as the user says; false: stay.
  bool MayLeaveChanges();
  void ShowFaults(const QString& heading, const QStringList& faults);
  void UpdateButtons();

  const std::filesystem::path& site_path() const { return site_path_; }
  const SiteLinesModel& lines() const { return *lines_model_; }

 private:
  void OnOpen();
  void OnNew();
  void OnAddLine();
  void OnRemoveLine();
  void OnProgram();
  void ShowPath(const std::filesystem::path& path);
  int CurrentLine() const;

  PageContext& context_;
  Page* page_;
  Hooks hooks_;
  std::filesystem::path site_path_;  // empty: no site open
  SiteLinesModel* lines_model_;
  QWidget* bar_ = nullptr;
  QLabel* file_label_ = nullptr;
  QLabel* faults_heading_ = nullptr;
  QListWidget* faults_ = nullptr;
  QTableView* lines_view_ = nullptr;
};

}  // namespace lumera
