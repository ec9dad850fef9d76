#include "app/pages/default_pages.h"

#include "app/pages/config/config_page.h"
#include "app/pages/editor/editor_page.h"
#include "app/pages/outputs/outputs_page.h"
#include "app/pages/site/site_page.h"

namespace lumera {
namespace {

template <typename P>
Page* Make(PageContext& context, QWidget* parent) {
  return new P(context, parent);
}

constexpr Page* (*kMakers[kPageCount])(PageContext&, QWidget*) = {
    Make<EditorPage>, Make<ConfigPage>, Make<OutputsPage>, Make<SitePage>};

}  // namespace

Page* MakeDefaultPage(int tab_index, PageContext& context, QWidget* parent) {
  if (tab_index < 0 || tab_index >= kPageCount) return nullptr;
  return kMakers[tab_index](context, parent);
}

}  // namespace lumera
