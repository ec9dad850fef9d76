// The outputs page (tab 2): receiver types, limits and states of the
// outputs and the receiver-type parameters.
#pragma once

#include "app/pages/page.h"

namespace lumera {

class OutputsPage : public Page {
 public:
  OutputsPage(PageContext& context, QWidget* parent);

  void RefreshOnTabChange() override;

  void RefreshOutputsPage();

 private:
  PageContext& context_;
};

}  // namespace lumera
