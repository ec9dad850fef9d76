#include "app/pages/site/site_page.h"

#include <QTabWidget>
#include <QVBoxLayout>

#include "app/pages/page_events.h"
#include "app/pages/site/site_file_panel.h"
#include "app/pages/site/site_journal_panel.h"
#include "app/pages/site/site_page_ids.h"
#include "app/pages/site/site_run_panel.h"
#include "app/session/site_runner.h"
#include "app/widgets/control_tag.h"
#include "app/widgets/qt_text.h"
#include "core/session/workspace.h"
#include "core/shell/settings_file.h"
#include "core/site/run/site_installation.h"

namespace lumera {
namespace {

namespace ids = site_page_ids;

constexpr int kLinesView = 1;  // the tab of the lines, after "Sterowniki"

}  // namespace

SitePage::SitePage(PageContext& context, QWidget* parent)
    : Page(ids::kDialog, "sitePage", QStringLiteral("Obiekt"), parent),
      context_(context) {
  // The page is low: each view gets all of it.
  views_ = Tag(new QTabWidget(this), ids::kViews, "siteViews",
               QStringLiteral("Widok obiektu"));
  SiteFilePanel::Hooks file_hooks;
  file_hooks.shown = [this](const std::filesystem::path& path,
                            const SiteFile& site) { SiteShown(path, site); };
  file_hooks.begun = [this] {
    run_->Clear();
    journal_->Clear();
  };
  file_hooks.running = [this] { return run_->runner().running(); };
  file_hooks.show_lines = [this] { views_->setCurrentIndex(kLinesView); };
  file_ = new SiteFilePanel(context, std::move(file_hooks), this);

  SiteRunPanel::Hooks run_hooks;
  run_hooks.site_path = [this] { return file_->site_path(); };
  run_hooks.may_leave_changes = [this] { return file_->MayLeaveChanges(); };
  run_hooks.show_faults = [this](const QString& heading,
                                 const QStringList& faults) {
    file_->ShowFaults(heading, faults);
  };
  run_hooks.state_changed = [this] { UpdateButtons(); };
  run_hooks.journal_changed = [this] { ShowJournal(); };
  run_ = new SiteRunPanel(context, std::move(run_hooks), this);
  journal_ = new SiteJournalPanel(this);

  views_->addTab(run_, QStringLiteral("Sterowniki"));
  views_->addTab(file_, QStringLiteral("Linie"));
  views_->addTab(journal_, QStringLiteral("Dziennik"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(file_->bar());
  layout->addWidget(views_, 1);

  // The site of the last run, or the one named with --site.
  if (!context_.workspace.settings.site_file.empty()) {
    OpenSite(context_.workspace.settings.site_file);
  }
  UpdateButtons();
}

SitePage::~SitePage() { run_->EndNow(); }

bool SitePage::OpenSite(const std::filesystem::path& path) {
  return file_->OpenSite(path);
}

bool SitePage::SaveSite() { return file_->SaveSite(); }

void SitePage::set_timeout_ms(int ms) { run_->set_timeout_ms(ms); }

const std::filesystem::path& SitePage::site_path() const {
  return file_->site_path();
}

const SiteLinesModel& SitePage::lines() const { return file_->lines(); }

const SiteTableModel& SitePage::installation() const {
  return run_->installation();
}

SiteRunner& SitePage::runner() const { return run_->runner(); }

bool SitePage::WindowClosing() { return file_->MayLeaveChanges(); }

void SitePage::EndJobs() { run_->EndNow(); }

void SitePage::SiteShown(const std::filesystem::path& path,
                         const SiteFile& site) {
  run_->ShowSite(site);
  ShowJournal();
  context_.workspace.settings.site_file = path.string();
  if (context_.settings_path) {
    SaveSiteFileSetting(*context_.settings_path, context_.workspace.settings);
  }
  std::size_t controllers = 0;
  for (const SiteLine& line : site.lines) {
    controllers += line.controllers.size();
  }
  emit context_.events.statusText(
      QStringLiteral("Obiekt %1: linie %2, sterowniki %3.")
          .arg(ToQString(path.filename().string()))
          .arg(site.lines.size())
          .arg(controllers));
  UpdateButtons();
}

void SitePage::ShowJournal() {
  const SiteJournalView journal = ReadSiteJournalView(file_->site_path());
  run_->ShowJournal(journal);
  journal_->Show(journal);
}

void SitePage::UpdateButtons() {
  file_->UpdateButtons();
  run_->UpdateButtons();
}

}  // namespace lumera
