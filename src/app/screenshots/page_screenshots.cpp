// lumera-page-shots: pictures of the main window with its configuration and
// outputs tabs selected, for the documentation. Run by tools/screenshot
// under a virtual X server; writes <dir>/config-page.png and
// <dir>/outputs-page.png over a fresh workspace.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTranslator>
#include <cstdio>

#include "app/session/qt_prompts.h"
#include "app/shell/application_setup.h"
#include "app/shell/main_window.h"
#include "core/link/transfer_job.h"
#include "core/session/workspace.h"
#include "core/shell/port_discovery.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: lumera-page-shots <output folder>\n");
    return 2;
  }
  QTranslator qt_polish;
  lumera::SetUpApplication(app, qt_polish);

  lumera::Workspace workspace;
  lumera::TransferJob job;
  lumera::QtPrompts prompts;
  lumera::MainWindow window(workspace, job, prompts, std::nullopt,
                            lumera::DiscoverSerialPorts(), false);
  window.show();
  const QDir out(QString::fromLocal8Bit(argv[1]));
  const struct {
    int tab;
    const char* file;
  } kShots[] = {{1, "config-page.png"}, {2, "outputs-page.png"}};
  for (const auto& shot : kShots) {
    window.SelectTab(shot.tab);
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    if (!window.grab().save(out.filePath(QString::fromLatin1(shot.file)))) {
      std::fprintf(stderr, "cannot write %s\n", shot.file);
      return 1;
    }
  }
  return 0;
}
