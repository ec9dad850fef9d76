// The main window's own commands (the file box, the port and the radio
// option) and what it does with the worker's events.
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <filesystem>

#include "app/session/port_failure_hint.h"
#include "app/session/prompts.h"
#include "app/shell/main_window.h"
#include "app/shell/main_window_ids.h"
#include "app/widgets/qt_text.h"
#include "core/link/serial_port.h"
#include "core/model/program_file.h"
#include "core/session/program_loading.h"
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
    const ProgramSaveResult saved = SaveProgramFile(workspace_.store, path);
    if (!saved) {
      // Below the text itself, which of the two files failed and why.
      prompts_.Warn(ToQString(kProgramSaveCaption),
                    ToQString(kProgramSaveFailedText) + QLatin1Char('\n') +
                        ToQString(FileWriteErrorText(*saved.error)));
      return false;
    }
  } else {
    std::uintmax_t size = 0;
    if (!LoadProgramIntoWorkspace(workspace_, path, &size)) {
      prompts_.Warn(ToQString(kProgramLoadCaption),
                    ToQString(kProgramLoadFailedText));
      return false;
    }
    workspace_.settings.current_segment = 1;
    ShowLoadedSize(size);
  }
  if (settings_path_) {
    SaveProgramFileSetting(*settings_path_, workspace_.settings);
  }
  return true;
}

void MainWindow::ShowLoadedSize(std::uintmax_t size) {
  const std::string note = ProgramSizeNote(size);
  if (!note.empty()) SetStatusLine(ToQString(note));
}

void MainWindow::OnLoadFile() {
  launcher_.ShowPendingErrorReport();
  if (launcher_.QueueHoldsRequests()) return;
  if (!ChooseProgramFile(false)) return;
  RefreshMainStatus();
  for (Page* page : pages_) {
    if (page) page->ProgramLoaded();
  }
}

void MainWindow::OnSaveFile() {
  launcher_.ShowPendingErrorReport();
  launcher_.CommitGrid();
  ChooseProgramFile(true);
  for (Page* page : pages_) {
    if (page) page->ProgramSaved();
  }
}

void MainWindow::OnPortChosen(int index) {
  launcher_.ShowPendingErrorReport();
  if (launcher_.QueueHoldsRequests()) return;
  if (index < 0 || index >= ports_.count) return;
  workspace_.settings.port_number = ports_.ports[index].number;
  launcher_.PushLineValues();
}

void MainWindow::OnRadioOption(bool checked) {
  launcher_.ShowPendingErrorReport();
  if (launcher_.QueueHoldsRequests()) return;
  workspace_.settings.radio_option = checked ? 1 : 0;
  launcher_.PushLineValues();
}

void MainWindow::ConnectWorkerEvents() {
  WorkerEvents& events = launcher_.events();
  connect(&events, &WorkerEvents::statusLine, this, &MainWindow::SetStatusLine);
  connect(&events, &WorkerEvents::progressRange, this,
          &MainWindow::SetProgressRange);
  connect(&events, &WorkerEvents::progressStep, this,
          &MainWindow::StepProgress);
  connect(&events, &WorkerEvents::progressReset, this,
          [this] { controls_.progress->setValue(0); });
  connect(&events, &WorkerEvents::refreshMainStatus, this,
          &MainWindow::RefreshMainStatus);
  connect(&page_events_, &PageEvents::segmentShown, this,
          &MainWindow::SetSegmentCaptions);
  connect(&page_events_, &PageEvents::editorTabChanged, this,
          &MainWindow::RefreshMainStatus);
  connect(&page_events_, &PageEvents::statusText, this,
          &MainWindow::SetStatusLine);
  connect(&events, &WorkerEvents::errorReportPending, this,
          [this] { launcher_.ShowPendingErrorReport(); });
  connect(&events, &WorkerEvents::portFailed, this,
          &MainWindow::ShowPortFailure);
  connect(&events, &WorkerEvents::jobFinished, this, [this](bool succeeded) {
    launcher_.ShowPendingErrorReport();
    emit jobFinished(succeeded);
  });
}

void MainWindow::SetProgressRange(int maximum) {
  // A range of 0..0 would show a busy bar instead of an empty one.
  controls_.progress->setRange(0, maximum > 0 ? maximum : 1);
  controls_.progress->setValue(0);
}

void MainWindow::StepProgress() {
  QProgressBar* bar = controls_.progress;
  if (bar->value() < bar->maximum()) bar->setValue(bar->value() + 1);
}

void MainWindow::ShowPortFailure(const PortFailure& failure) {
  controls_.status_line->setToolTip(
      PortFailureHint(failure, ComPortName(workspace_.settings.port_number)));
}

}  // namespace lumera
