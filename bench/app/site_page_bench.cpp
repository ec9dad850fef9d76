// lumera_site_page_bench SITE [--abort-after MS] [--timeout-ms MS]: the
// site page's "Wyślij" over SITE, as a user clicks it (the plan accepted),
// on the offscreen platform. Prints the milliseconds from the click to the
// end of the run ("run_ms N"), or with --abort-after, clicks "Przerwij" MS
// after "Wyślij" and prints the milliseconds from that click until every
// line has ended ("abort_ms N"). bench/site_page_upload.sh runs it.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/pages/default_pages.h"
#include "app/pages/site/site_page.h"
#include "app/pages/site/site_page_ids.h"
#include "app/session/site_runner.h"
#include "app/shell/main_window.h"
#include "core/link/transfer_job.h"
#include "core/session/workspace.h"
#include "core/shell/port_discovery.h"
#include "support/scripted_prompts.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: lumera_site_page_bench SITE [--abort-after MS] "
                 "[--timeout-ms MS]\n");
    return 2;
  }
  int abort_after = -1;
  int timeout_ms = 3000;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string_view option = argv[i];
    (option == "--abort-after" ? abort_after : timeout_ms) =
        std::atoi(argv[i + 1]);
  }
  namespace ids = lumera::site_page_ids;
  lumera::Workspace workspace;
  workspace.settings.site_file = argv[1];
  lumera::TransferJob job;
  lumera::testing::ScriptedPrompts prompts;  // "Tak" to the plan
  lumera::MainWindow window(workspace, job, prompts, std::nullopt,
                            lumera::DiscoverSerialPorts(), false);
  window.show();
  window.SelectTab(lumera::kSiteTabIndex);
  auto* page =
      dynamic_cast<lumera::SitePage*>(window.PageAt(lumera::kSiteTabIndex));
  if (page == nullptr || page->site_path().empty()) {
    std::fprintf(stderr, "the site did not open\n");
    return 1;
  }
  page->set_timeout_ms(timeout_ms);
  for (int i = 0; i < 10; ++i) QApplication::processEvents();

  QEventLoop loop;
  QObject::connect(&page->runner(), &lumera::SiteRunner::runEnded, &loop,
                   &QEventLoop::quit);
  QElapsedTimer clock;
  qint64 abort_clicked = -1;
  clock.start();
  qobject_cast<QAbstractButton*>(page->Control(ids::kUpload))->click();
  if (!page->runner().running()) {
    std::fprintf(stderr, "the run did not start\n");
    return 1;
  }
  if (abort_after >= 0) {
    QTimer::singleShot(abort_after, [&] {
      abort_clicked = clock.elapsed();
      qobject_cast<QAbstractButton*>(page->Control(ids::kAbort))->click();
    });
  }
  loop.exec();
  const qint64 ended = clock.elapsed();
  if (abort_after >= 0) {
    std::printf("abort_ms %lld\n",
                static_cast<long long>(ended - abort_clicked));
  } else {
    std::printf("run_ms %lld\n", static_cast<long long>(ended));
  }
  return 0;
}
