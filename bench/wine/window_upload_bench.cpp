// The time of "WYŚLIJ" in the main window of the Windows build, from the
// click to the job's end. bench/wine_window.sh runs it under wine in a
// folder whose settings file names COM23 (lumera-sim, paced) and which holds
// program.prg, taken from the command line as lumera.exe takes it. Prints
// "upload <seconds>" and exits 0 when the job succeeded.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

#include "app/shell/application_setup.h"
#include "app/shell/main_window.h"
#include "app/shell/main_window_ids.h"
#include "app/shell/startup.h"
#include "core/link/transfer_job.h"
#include "core/session/workspace.h"
#include "core/shell/port_discovery.h"
#include "core/shell/settings_file.h"
#include "support/scripted_prompts.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QTranslator qt_polish;
  lumera::SetUpApplication(app, qt_polish);
  lumera::Workspace workspace;
  lumera::TransferJob job;
  lumera::testing::ScriptedPrompts prompts;
  const lumera::StartupResult started = lumera::StartUp(
      workspace, "program.prg", lumera::SettingsPathOfWorkingDirectory());
  lumera::MainWindow window(workspace, job, prompts, started.settings_path,
                            lumera::DiscoverSerialPorts(),
                            started.command_line_file);
  lumera::ShowCentred(window);

  QElapsedTimer timer;
  QObject::connect(&window, &lumera::MainWindow::jobFinished, &app,
                   [&](bool succeeded) {
                     std::printf("upload %.3f\n", timer.nsecsElapsed() / 1e9);
                     app.exit(succeeded ? 0 : 1);
                   });
  QTimer::singleShot(0, &window, [&] {
    auto* upload = qobject_cast<QAbstractButton*>(
        window.Control(lumera::main_window_ids::kUploadAll));
    timer.start();
    upload->click();
  });
  return app.exec();
}
