// The configuration page (tab 1): the controller's configuration record,
// its switches and flags, start points, tempos and the real-time clock.
#pragma once

#include "app/pages/page.h"

namespace lumera {

class ConfigPage : public Page {
 public:
  ConfigPage(PageContext& context, QWidget* parent);

  void RefreshOnTabChange() override;
  void ProgramLoaded() override;

  // Shows the record, the working values and the status.
  void RefreshConfigPage();

 private:
  PageContext& context_;
};

}  // namespace lumera
