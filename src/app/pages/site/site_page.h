// The site page (tab 3): a site file opened, made or changed, the
// installation it describes, controller by controller, the site jobs run
// over it, and its journal. The file's grammar, the runs and every rule
// about them are the core's (core/site/); the page puts the file bar above
// three views, each a panel of its own, and passes what one changes to the
// others.
#pragma once

#include <filesystem>

#include "app/pages/page.h"

class QTabWidget;

namespace lumera {

class SiteFilePanel;
class SiteJournalPanel;
class SiteLinesModel;
class SiteRunPanel;
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
  void set_timeout_ms(int ms);

  const std::filesystem::path& site_path() const;
  const SiteLinesModel& lines() const;
  const SiteTableModel& installation() const;
  SiteRunner& runner() const;

 private:
  void SiteShown(const std::filesystem::path& path, const SiteFile& site);
  void ShowJournal();
  void UpdateButtons();

  PageContext& context_;
  QTabWidget* views_ = nullptr;
  SiteFilePanel* file_ = nullptr;
  SiteRunPanel* run_ = nullptr;
  SiteJournalPanel* journal_ = nullptr;
};

}  // namespace lumera
