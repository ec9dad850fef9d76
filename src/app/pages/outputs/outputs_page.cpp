#include "app/pages/outputs/outputs_page.h"

#include "app/shell/main_window_ids.h"

namespace lumera {

OutputsPage::OutputsPage(PageContext& context, QWidget* parent)
    : Page(main_window_ids::kOutputsPage, "outputsPage",
           QStringLiteral("Wyjścia"), parent),
      context_(context) {}

void OutputsPage::RefreshOnTabChange() { RefreshOutputsPage(); }

void OutputsPage::RefreshOutputsPage() {}

}  // namespace lumera
