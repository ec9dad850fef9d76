// lumera: the editor. Start-up, the main window for the whole run, and the
// end of the run (always exit code 0).
#include <QApplication>
#include <QTranslator>
#include <memory>

#include "app/session/qt_prompts.h"
#include "app/session/trace_from_environment.h"
#include "app/shell/application_setup.h"
#include "app/shell/command_line_file.h"
#include "app/shell/main_window.h"
#include "app/shell/startup.h"
#include "core/link/transfer_job.h"
#include "core/session/workspace.h"
#include "core/shell/port_discovery.h"
#include "core/shell/settings_file.h"

int main(int argc, char* argv[]) {
  // The command line as the user gave it, before Qt takes its own options.
  const std::string command_line = lumera::JoinCommandLine(argc, argv);

  QApplication app(argc, argv);
  QTranslator qt_polish;
  lumera::SetUpApplication(app, qt_polish);

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
      workspace, command_line, lumera::SettingsPathOfWorkingDirectory());

  lumera::QtPrompts prompts;
  lumera::MainWindow window(workspace, job, prompts, started.settings_path,
                            lumera::DiscoverSerialPorts(),
                            started.command_line_file);
  prompts.SetOwner(&window);
  lumera::ShowCentred(window);
  app.exec();
  return 0;
}
