#include "app/pages/config/config_page.h"

#include "app/session/job_launcher.h"
#include "app/shell/main_window_ids.h"

namespace lumera {

ConfigPage::ConfigPage(PageContext& context, QWidget* parent)
    : Page(main_window_ids::kConfigPage, "configPage",
           QStringLiteral("Konfiguracja"), parent),
      context_(context) {
  connect(&context_.launcher.events(), &WorkerEvents::refreshConfigPage, this,
          &ConfigPage::RefreshConfigPage);
}

void ConfigPage::RefreshOnTabChange() { RefreshConfigPage(); }

void ConfigPage::ProgramLoaded() { RefreshConfigPage(); }

void ConfigPage::RefreshConfigPage() {}

}  // namespace lumera
