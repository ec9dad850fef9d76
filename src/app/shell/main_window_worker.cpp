// What the transfer worker asks of the main window, carried out on the
// window's thread (see QueuedObserver).
#include <QProgressBar>

#include "app/shell/main_window.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"

namespace lumera {

void MainWindow::SetProgressRange(int maximum) {
  // A range of 0..0 would show a busy bar instead of an empty one.
  controls_.progress->setRange(0, maximum > 0 ? maximum : 1);
  controls_.progress->setValue(0);
}

void MainWindow::StepProgress() {
  QProgressBar* bar = controls_.progress;
  if (bar->value() < bar->maximum()) bar->setValue(bar->value() + 1);
}

void MainWindow::ResetProgress() { controls_.progress->setValue(0); }

void MainWindow::ApplyReply(const ReplyRecord& record) {
  lumera::ApplyReply(workspace_, record);
}

void MainWindow::PostProcess(const ReplyRecord& record) {
  PostProcessReply(workspace_, record);
}

void MainWindow::LoadSegmentIntoGrid() {
  if (hooks_.load_segment_into_grid) hooks_.load_segment_into_grid();
}

void MainWindow::RefreshConfigPage() {
  if (hooks_.refresh_config_page) hooks_.refresh_config_page();
}

void MainWindow::ShowControllerPosition(int segment_index, int command_index) {
  if (hooks_.show_controller_position) {
    hooks_.show_controller_position(segment_index, command_index);
  }
}

void MainWindow::OnJobFinished(bool succeeded) {
  ShowPendingErrorReport();
  emit jobFinished(succeeded);
}

}  // namespace lumera
