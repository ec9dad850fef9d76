// The pages the program shows: editor, configuration, outputs, site.
#pragma once

#include "app/pages/page.h"

namespace lumera {

inline constexpr int kSiteTabIndex = 3;

Page* MakeDefaultPage(int tab_index, PageContext& context, QWidget* parent);

}  // namespace lumera
