// lumera-page-shots: pictures of the main window with its configuration and
// outputs tabs selected, for the documentation. Run by tools/screenshot
// under a virtual X server; writes <dir>/config-page.png and
// <dir>/outputs-page.png over a fresh workspace. Given a site file whose
// lines answer, also the site tab before a run (site-page-before.png),
// during an upload (site-page-during.png), after it (site-page.png), and
// its journal (site-journal.png).
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

#include "app/pages/default_pages.h"
#include "app/pages/site/site_page.h"
#include "app/pages/site/site_page_ids.h"
#include "app/session/prompts.h"
#include "app/session/qt_prompts.h"
#include "app/session/site_runner.h"
#include "app/shell/application_setup.h"
#include "app/shell/main_window.h"
#include "core/link/transfer_job.h"
#include "core/session/workspace.h"
#include "core/shell/port_discovery.h"

namespace {

// The plan's question answered "Tak"; nothing else is asked.
class AnswerYes : public lumera::Prompts {
 public:
  void Warn(const QString& caption, const QString& text) override {
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
  }
  bool AskYesNo(const QString&, const QString&) override { return true; }
  bool AskOkCancel(const QString&, const QString&) override { return true; }
  std::optional<QString> ChooseOpenFile(
      const lumera::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<QString> ChooseSaveFile(
      const lumera::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<QString> ChooseFolder(
      const lumera::FileDialogRequest&) override {
    return std::nullopt;
  }
  bool ChoosePrinter(QPrinter&) override { return false; }
};

bool Save(QWidget& window, const QDir& out, const char* file) {
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  if (window.grab().save(out.filePath(QString::fromLatin1(file)))) return true;
  std::fprintf(stderr, "cannot write %s\n", file);
  return false;
}

// Runs the event loop until `signal` of `sender` comes (or a minute).
template <typename Signal>
void WaitFor(const lumera::SiteRunner* sender, Signal signal) {
  QEventLoop loop;
  QObject::connect(sender, signal, &loop, &QEventLoop::quit);
  QTimer::singleShot(60000, &loop, &QEventLoop::quit);
  loop.exec();
}

void Click(lumera::Page& page, int id) {
  qobject_cast<QAbstractButton*>(page.Control(id))->click();
}

bool SitePictures(QWidget& window, lumera::SitePage& page, const QDir& out) {
  namespace ids = lumera::site_page_ids;
  lumera::SiteRunner& runner = page.runner();
  if (!Save(window, out, "site-page-before.png")) return false;
  Click(page, ids::kStatus);
  if (runner.running()) WaitFor(&runner, &lumera::SiteRunner::runEnded);
  // During the upload: once the second controller of a line has ended, the
  // table shows rows done, running and waiting.
  int ended = 0;
  QEventLoop second;
  QObject::connect(&runner, &lumera::SiteRunner::controllerEnded, &second,
                   [&] {
                     if (++ended == 3) second.quit();
                   });
  Click(page, ids::kUpload);
  if (!runner.running()) return false;
  QTimer::singleShot(60000, &second, &QEventLoop::quit);
  second.exec();
  if (!Save(window, out, "site-page-during.png")) return false;
  if (runner.running()) WaitFor(&runner, &lumera::SiteRunner::runEnded);
  if (!Save(window, out, "site-page.png")) return false;
  qobject_cast<QTabWidget*>(page.Control(ids::kViews))->setCurrentIndex(2);
  return Save(window, out, "site-journal.png");
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr,
                 "usage: lumera-page-shots <output folder> [site file]\n");
    return 2;
  }
  QTranslator qt_polish;
  lumera::SetUpApplication(app, qt_polish);
  const QDir out(QString::fromLocal8Bit(argv[1]));

  lumera::Workspace workspace;
  lumera::TransferJob job;
  lumera::QtPrompts prompts;
  AnswerYes site_prompts;
  if (argc == 3) workspace.settings.site_file = argv[2];
  lumera::MainWindow window(
      workspace, job,
      argc == 3 ? static_cast<lumera::Prompts&>(site_prompts) : prompts,
      std::nullopt, lumera::DiscoverSerialPorts(), false);
  window.show();
  const struct {
    int tab;
    const char* file;
  } kShots[] = {{1, "config-page.png"}, {2, "outputs-page.png"}};
  for (const auto& shot : kShots) {
    window.SelectTab(shot.tab);
    if (!Save(window, out, shot.file)) return 1;
  }
  if (argc == 3) {
    window.SelectTab(lumera::kSiteTabIndex);
    auto* page =
        dynamic_cast<lumera::SitePage*>(window.PageAt(lumera::kSiteTabIndex));
    if (page == nullptr || page->site_path().empty() ||
        !SitePictures(window, *page, out)) {
      std::fprintf(stderr, "no pictures of the site page\n");
      return 1;
    }
  }
  return 0;
}
