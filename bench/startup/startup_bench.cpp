// The editor's start-up as its main() does it, with two measurements:
// the moment the main window is shown (printed as "shown <seconds since the
// epoch>", so the caller can set it against the moment it started the
// process), and the resident memory after "POBIERZ", a full download, from
// the controller on the port of the settings file ("rss_kb <n>").
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/session/qt_prompts.h"
#include "app/shell/application_setup.h"
#include "app/shell/command_line_file.h"
#include "app/shell/main_window.h"
#include "app/shell/startup.h"
#include "core/link/transfer_job.h"
#include "core/session/workspace.h"
#include "core/shell/port_discovery.h"
#include "core/shell/settings_file.h"

namespace {

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

double EpochSeconds() {
  return std::chrono::duration<double>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string command_line = lumera::JoinCommandLine(argc, argv);
  QApplication app(argc, argv);
  QTranslator qt_polish;
  lumera::SetUpApplication(app, qt_polish);

  lumera::Workspace workspace;
  lumera::TransferJob job;
  const lumera::StartupResult started = lumera::StartUp(
      workspace, command_line, lumera::SettingsPathOfWorkingDirectory());
  lumera::QtPrompts prompts;
  lumera::MainWindow window(workspace, job, prompts, started.settings_path,
                            lumera::DiscoverSerialPorts(),
                            started.command_line_file);
  prompts.SetOwner(&window);
  lumera::ShowCentred(window);

  // The first turn of the event loop: the window is on the screen.
  QTimer::singleShot(0, &window, [&] {
    std::printf("shown %.6f\n", EpochSeconds());
    std::fflush(stdout);
    auto* download = window.findChild<QPushButton*>("downloadAllButton");
    auto* status = window.findChild<QLabel*>("statusLine");
    if (download == nullptr || status == nullptr) {
      std::printf("no POBIERZ button or status line\n");
      app.exit(1);
      return;
    }
    download->click();
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [&, status] {
      const QString text = status->text();
      if (job.prepared() || job.running() ||
          !(text.startsWith(QStringLiteral("Operacja")) ||
            text.startsWith(QStringLiteral("Błąd")))) {
        return;
      }
      std::printf("status %s\nrss_kb %ld\n",
                  status->text().toStdString().c_str(), ResidentKb());
      app.exit(0);
    });
    poll->start(20);
  });
  return app.exec();
}
