// The pages the program shows: editor, configuration, outputs.
#pragma once

#include "app/pages/page.h"

namespace lumera {

Page* MakeDefaultPage(int tab_index, PageContext& context, QWidget* parent);

}  // namespace lumera
