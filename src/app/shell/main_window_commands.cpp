// The main window's commands: the file box and the job buttons.
#include <QComboBox>
#include <filesystem>

#include "app/shell/main_window.h"
#include "app/shell/prompts.h"
#include "app/shell/qt_text.h"
#include "core/config/config_page_values.h"
#include "core/model/program_file.h"
#include "core/session/workspace.h"
#include "core/shell/settings_file.h"

namespace lumera {

bool MainWindow::ChooseProgramFile(bool save) {
  FileDialogRequest request;
  request.title = save ? QStringLiteral("Wybór pliku do zapisu:")
                       : QStringLiteral("Wybór odczytywango pliku:");
  request.filters = {QStringLiteral("Pliki Programów (*.prg)"),
                     QStringLiteral("All Files (*.*)")};
  request.start_name =
      QString::fromStdString(workspace_.settings.program_file_name);
  request.default_suffix = QStringLiteral("prg");
  const std::optional<QString> chosen = save ? prompts_.ChooseSaveFile(request)
                                             : prompts_.ChooseOpenFile(request);
  if (!chosen) return false;
  // Once the dialog is confirmed the name is kept, even when the load or
  // save that follows fails.
  workspace_.settings.program_file_name = chosen->toStdString();
  const std::filesystem::path path(chosen->toStdString());
  if (save) {
    if (!SaveProgramFile(workspace_.store, path)) {
      prompts_.Warn(ToQString(kProgramSaveCaption),
                    ToQString(kProgramSaveFailedText));
      return false;
    }
  } else {
    if (!LoadProgramFile(workspace_.store, path)) {
      prompts_.Warn(ToQString(kProgramLoadCaption),
                    ToQString(kProgramLoadFailedText));
      return false;
    }
    workspace_.settings.current_segment = 1;
  }
  if (settings_path_) {
    SaveProgramFileSetting(*settings_path_, workspace_.settings);
  }
  return true;
}

void MainWindow::OnLoadFile() {
  ShowPendingErrorReport();
  if (QueueHoldsRequests()) return;
  if (!ChooseProgramFile(false)) return;
  SyncControllerNumber(workspace_.store.mutable_image(),
                       workspace_.config_page);
  LoadSegmentIntoGrid();
  RefreshMainStatus();
  RefreshConfigPage();
  if (hooks_.clear_return_stack) hooks_.clear_return_stack();
}

void MainWindow::OnSaveFile() {
  ShowPendingErrorReport();
  if (hooks_.commit_grid) hooks_.commit_grid();
  ChooseProgramFile(true);
  if (hooks_.clear_return_stack) hooks_.clear_return_stack();
}

void MainWindow::OnPortChosen(int index) {
  ShowPendingErrorReport();
  if (QueueHoldsRequests()) return;
  if (index < 0 || index >= ports_.count) return;
  workspace_.settings.port_number = ports_.ports[index].number;
  PushLineValues();
}

void MainWindow::OnRadioOption(bool checked) {
  ShowPendingErrorReport();
  if (QueueHoldsRequests()) return;
  workspace_.settings.radio_option = checked ? 1 : 0;
  PushLineValues();
}

LinkContext MainWindow::Context() {
  PushLineValues();
  return LinkContext{workspace_, job_, observer_, job_prompts_};
}

EditorSide MainWindow::Editor() const {
  EditorSide editor;
  editor.current_segment = workspace_.settings.current_segment;
  editor.grid_rows = hooks_.grid_rows
                         ? hooks_.grid_rows()
                         : workspace_.store.CommandListLength(
                               workspace_.settings.current_segment - 1);
  editor.commit_grid = hooks_.commit_grid;
  editor.clear_return_stack = hooks_.clear_return_stack;
  return editor;
}

bool MainWindow::StartDownloadAll() {
  LinkContext context = Context();
  return StartDownloadProgram(context, Editor());
}
bool MainWindow::StartDownloadSegment() {
  LinkContext context = Context();
  return lumera::StartDownloadSegment(context, Editor());
}
bool MainWindow::StartUploadAll() {
  LinkContext context = Context();
  return StartUploadProgram(context, Editor());
}
bool MainWindow::StartUploadSegment() {
  LinkContext context = Context();
  return lumera::StartUploadSegment(context, Editor());
}
bool MainWindow::StartVerifyAll() {
  LinkContext context = Context();
  return StartVerifyProgram(context, Editor());
}
bool MainWindow::StartVerifySegment() {
  LinkContext context = Context();
  return lumera::StartVerifySegment(context, Editor());
}
bool MainWindow::StartRestart() {
  LinkContext context = Context();
  return StartRestartController(context);
}
bool MainWindow::StartErrorReport() {
  LinkContext context = Context();
  return StartReadErrorReport(context);
}
bool MainWindow::StartReadConfig() {
  LinkContext context = Context();
  return StartReadConfiguration(context);
}
bool MainWindow::StartWriteConfig() {
  LinkContext context = Context();
  return StartWriteConfiguration(context);
}
bool MainWindow::StartDefaults(bool configuration_only) {
  LinkContext context = Context();
  return StartLoadDefaults(context, configuration_only);
}
bool MainWindow::StartRadioResetJob() {
  LinkContext context = Context();
  return StartRadioReset(context);
}

}  // namespace lumera
