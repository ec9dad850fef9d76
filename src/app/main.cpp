// lumera: the editor. Start-up, the main window for the whole run, and the
// end of the run (always exit code 0).
#include <QApplication>
#include <QDir>
#include <QTranslator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/pages/default_pages.h"
#include "app/session/qt_prompts.h"
#include "app/session/trace_from_environment.h"
#include "app/shell/application_setup.h"
#include "app/shell/command_line_file.h"
#include "app/shell/main_window.h"
#include "app/shell/startup.h"
#include "core/link/transfer_job.h"
#include "core/session/workspace.h"
#include "core/shell/own_work_folder.h"
#include "core/shell/port_discovery.h"
#include "core/shell/settings_file.h"

int main(int argc, char* argv[]) {
  // The desktop entry's start: the option is no part of the command line a
  // program file is taken from.
  const bool own_folder =
      argc > 1 && std::string_view(argv[1]) == lumera::kOwnFolderOption;
  if (own_folder) {
    argv[1] = argv[0];
    ++argv;
    --argc;
  }
  std::optional<std::string> site = lumera::TakeSiteOption(argc, argv);
  // The command line as the user gave it, before Qt takes its own options.
  std::string command_line = lumera::JoinCommandLine(argc, argv);
  if (own_folder) {
    command_line = lumera::AnchorProgramFile(std::move(command_line));
  }

  QApplication app(argc, argv);
  QTranslator qt_polish;
  lumera::SetUpApplication(app, qt_polish);
  lumera::QtPrompts prompts;
  // Before the settings path is taken from the working directory.
  if (own_folder &&
      !lumera::EnterOwnWorkFolder(QDir::homePath().toStdString())) {
    prompts.Warn("INFO", QString("Nie można utworzyć ani otworzyć folderu %1: "
                                 "ustawienia zostaną zapisane w folderze %2.")
                             .arg(QDir::home().filePath(lumera::kOwnFolderName),
                                  QDir::currentPath()));
  }

  lumera::Workspace workspace;
  // LUMERA_TRACE=FILE: every frame on the line into FILE. Made before the
  // job, so that it outlives the job's worker.
  const std::unique_ptr<lumera::TraceFile> trace =
      lumera::TraceFromEnvironment();
  lumera::TransferJob job;
  if (trace) {
    lumera::PortAccess access;
    access.trace = trace.get();
    job.SetPortAccess(std::move(access));
  }
  const lumera::StartupResult started = lumera::StartUp(
      workspace, command_line, lumera::SettingsPathOfWorkingDirectory(),
      std::move(site));

  lumera::MainWindow window(workspace, job, prompts, started.settings_path,
                            lumera::DiscoverSerialPorts(),
                            started.command_line_file);
  prompts.SetOwner(&window);
  if (started.site_option) window.SelectTab(lumera::kSiteTabIndex);
  lumera::ShowCentred(window);
  app.exec();
  return 0;
}
