// Tab pages that tell the test what the main window asks of them, for the
// frame's tests: the window reaches its pages only through Page.
#pragma once

#include <array>
#include <functional>

#include "app/pages/default_pages.h"
#include "app/pages/page.h"

namespace lumera::testing {

class RecordingPage : public Page {
 public:
  RecordingPage(int tab_index, QWidget* parent)
      : Page(1000 + tab_index, "recordingPage", QStringLiteral("Strona"),
             parent) {}

  std::function<void()> on_refresh, on_loaded, on_saved;

  void RefreshOnTabChange() override { Call(on_refresh); }
  void ProgramLoaded() override { Call(on_loaded); }
  void ProgramSaved() override { Call(on_saved); }

 private:
  static void Call(const std::function<void()>& f) {
    if (f) f();
  }
};

// Recording pages for the tabs in `recorded`, the program's own pages for
// the others; `made` receives the recording ones.
struct RecordingPages {
  std::array<bool, kPageCount> recorded{true, true, true, true};
  std::array<RecordingPage*, kPageCount> made{};

  PageFactory Factory() {
    return
        [this](int tab_index, PageContext& context, QWidget* parent) -> Page* {
          if (!recorded[tab_index]) {
            return MakeDefaultPage(tab_index, context, parent);
          }
          return made[tab_index] = new RecordingPage(tab_index, parent);
        };
  }
};

}  // namespace lumera::testing
