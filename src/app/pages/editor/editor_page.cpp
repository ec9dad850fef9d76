#include "app/pages/editor/editor_page.h"

#include "app/session/job_launcher.h"
#include "app/shell/main_window_ids.h"

namespace lumera {

EditorPage::EditorPage(PageContext& context, QWidget* parent)
    : Page(main_window_ids::kEditorPage, "editorPage", QStringLiteral("Edytor"),
           parent),
      context_(context) {
  WorkerEvents& events = context_.launcher.events();
  connect(&events, &WorkerEvents::loadSegmentIntoGrid, this,
          &EditorPage::LoadSegmentIntoGrid);
  connect(&events, &WorkerEvents::showControllerPosition, this,
          &EditorPage::ShowControllerPosition);
}

void EditorPage::RefreshOnTabChange() {
  emit context_.launcher.events().refreshMainStatus();
}

void EditorPage::Commit() {}

void EditorPage::ProgramLoaded() {
  LoadSegmentIntoGrid();
  ClearReturnStack();
}

void EditorPage::ProgramSaved() { ClearReturnStack(); }

void EditorPage::LoadSegmentIntoGrid() {}

void EditorPage::ClearReturnStack() {}

void EditorPage::ShowControllerPosition(int /*segment_index*/,
                                        int /*command_index*/) {}

}  // namespace lumera
