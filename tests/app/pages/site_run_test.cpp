// The site page's runs end to end, through real clicks: two lumera-sim lines
// (controllers 1 and 2; 3 and 4, with 5 listed but silent), the plan
// accepted, the rows, the journal, "Wznów", "Przerwij", and one owner per
// port between a site run and a job of the window.
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QTreeWidget>
#include <QtTest>
#include <map>

#include "app/pages/default_pages.h"
#include "app/pages/site/site_page.h"
#include "app/pages/site/site_page_ids.h"
#include "app/pages/site/site_table_model.h"
#include "app/session/site_runner.h"
#include "app/shell/main_window_ids.h"
#include "app_fixture.h"
#include "core/model/program_file.h"
#include "core/site/journal/journal_file.h"
#include "sim_process.h"

namespace lumera {
namespace {

namespace ids = site_page_ids;
using testing::AppFixture;
using Kind = testing::PromptRecord::Kind;

class SiteRunTest : public QObject {
  Q_OBJECT

 private:
  // Two lines at the pace of the pseudo-terminal, and two paced as 38400
  // baud lines, whose runs last long enough to be broken into.
  testing::SimProcess line_a_;
  testing::SimProcess line_b_;
  testing::SimProcess slow_a_;
  testing::SimProcess slow_b_;
  QTemporaryDir dir_;

  QString Path(const char* name) const { return dir_.filePath(name); }

  void WriteProgram(const char* name) {
    ProgramStore store;
    for (int k = 0; k < 20; ++k) {
      store.SetCommand(0, k,
                       Command{static_cast<std::uint8_t>(k % 45),
                               static_cast<std::uint8_t>(k), 3});
    }
    QVERIFY(SaveProgramFile(store, Path(name).toStdString()));
  }
  void WriteSite(const char* name, const testing::SimProcess& a,
                 const testing::SimProcess& b) {
    QFile file(Path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[line a]\nport = %1\ncontrollers = 1-2\n"
                              "program = p.prg\n"
                              "# 5 is listed, but nothing answers to it\n"
                              "[line b]\nport = %2\ncontrollers = 3-5\n"
                              "program = p.prg\n")
                   .arg(a.device(), b.device())
                   .toUtf8());
  }

  static SitePage* Page(AppFixture& app) {
    return dynamic_cast<SitePage*>(app.window->PageAt(kSiteTabIndex));
  }
  static void Click(AppFixture& app, int id) {
    auto* button = qobject_cast<QAbstractButton*>(Page(app)->Control(id));
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
  }
  // The window on the site tab with `site` opened by "Otwórz…"; its own
  // jobs go to the slow line b's port, by the number the system gives it
  // (its ports folder is the one in force: it started last).
  void Open(AppFixture& app, const char* site) {
    // The window's job aborted at the end of a test ends at its next read's
    // time-out.
    PortAccess access;
    access.timing.read_constant_ms = 300;
    slow_b_.OpenOn(app, access);
    app.window->show();
    app.window->SelectTab(kSiteTabIndex);
    Page(app)->set_timeout_ms(1000);
    app.prompts.files = {Path(site)};
    Click(app, ids::kOpen);
    QCOMPARE(Page(app)->site_path().string(), Path(site).toStdString());
  }
  // Waits until `ended` has seen `runs` runs end.
  static bool WaitForRuns(QSignalSpy& ended, int runs) {
    QElapsedTimer waited;
    waited.start();
    while (ended.count() < runs && waited.elapsed() < 120000) ended.wait(500);
    return ended.count() >= runs;
  }
  // "line/controller state" of each row; with the version once a run has
  // read one.
  static QStringList Rows(AppFixture& app) {
    const SiteTableModel& model = Page(app)->installation();
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
      QStringList cells;
      for (const SiteColumn column :
           {SiteColumn::kLine, SiteColumn::kController, SiteColumn::kState,
            SiteColumn::kVersion}) {
        cells << model.index(row, static_cast<int>(column)).data().toString();
      }
      rows << (cells[0] + '/' + cells.mid(1).join(' ')).trimmed();
    }
    return rows;
  }
  std::vector<JournalEntry> Journal(const char* site) const {
    const std::optional<JournalContents> journal =
        ReadJournalFile(JournalPathFor(Path(site).toStdString()));
    return journal ? journal->entries : std::vector<JournalEntry>{};
  }
  int Begun(const char* site) const {
    int count = 0;
    for (const JournalEntry& entry : Journal(site)) {
      count += entry.event == JournalEvent::kBegun;
    }
    return count;
  }
  // Every begun controller has its outcome after it; how many of those
  // outcomes are the abort's.
  int AbortedOutcomes(const char* site) const {
    std::map<std::pair<std::string, int>, int> open;
    int aborted = 0;
    for (const JournalEntry& entry : Journal(site)) {
      const auto key = std::pair{entry.line, entry.controller};
      if (entry.event == JournalEvent::kBegun) ++open[key];
      if (entry.event != JournalEvent::kOutcome) continue;
      if (open[key]-- == 0) return -1;
      aborted += entry.outcome == "błąd: Operacja przerwana !";
    }
    for (const auto& [key, count] : open) {
      if (count != 0) return -1;
    }
    return aborted;
  }
  // Starts the long upload and waits until both lines write.
  void StartLongUpload(AppFixture& app) {
    const int before = Begun("wolna.site");
    app.prompts.answers = {true};
    Click(app, ids::kUpload);
    QTRY_COMPARE_WITH_TIMEOUT(Begun("wolna.site"), before + 2, 20000);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    // A state file for each controller after the first.
    const auto start = [](testing::SimProcess& sim, const char* numbers,
                          const char* second, QStringList pace) {
      return sim.Start(
          QStringList{"--number", numbers, "--state", sim.FilePath(second)} +
          pace);
    };
    QVERIFY(start(line_a_, "1,2", "2.img", {}));
    QVERIFY(start(line_b_, "3,4", "4.img", {}));
    QVERIFY(start(slow_a_, "1,2", "2.img", {"--baud", "38400"}));
    QVERIFY(start(slow_b_, "3,4", "4.img", {"--baud", "38400"}));
    WriteProgram("p.prg");
    WriteSite("hala.site", line_a_, line_b_);
    WriteSite("wolna.site", slow_a_, slow_b_);
  }

  // The plan is asked about; the rows end verified and absent, the journal
  // has a start, and a begun and an outcome line for each written
  // controller; "Wznów" then serves only the absent one.
  void UploadAcceptedThenResumeServesOnlyTheAbsent() {
    AppFixture app;
    Open(app, "hala.site");
    QSignalSpy ended(&Page(app)->runner(), &SiteRunner::runEnded);
    app.prompts.answers = {true};
    Click(app, ids::kUpload);
    QCOMPARE(app.prompts.Count(Kind::kYesNo), 1);
    QCOMPARE(app.prompts.asked.back().text,
             QStringLiteral("Plan: wysłanie programu\n"
                            "linia a (%1): sterowniki 1-2: p.prg\n"
                            "linia b (%2): sterowniki 3-5: p.prg\n"
                            "\nWykonać?")
                 .arg(line_a_.device(), line_b_.device()));
    QVERIFY(Page(app)->runner().running());
    QVERIFY(!Page(app)->Control(ids::kUpload)->isEnabled());
    QVERIFY(WaitForRuns(ended, 1));
    QCOMPARE(Rows(app),
             (QStringList{"a/1 zweryfikowany 1.0", "a/2 zweryfikowany 1.0",
                          "b/3 zweryfikowany 1.0", "b/4 zweryfikowany 1.0",
                          "b/5 nieobecny"}));
    const auto summary = [&] {
      return qobject_cast<QLabel*>(Page(app)->Control(ids::kSummary))->text();
    };
    QVERIFY2(summary().endsWith("zweryfikowany: 4, nieobecny: 1."),
             qPrintable(summary()));

    // A begun line before each write, and its outcome (the core's tests
    // say what they hold): the silent 5 never begun.
    const std::vector<JournalEntry> journal = Journal("hala.site");
    QCOMPARE(Begun("hala.site"), 4);
    // The journal view shows every line, newest first: an outcome on top,
    // the start at the bottom.
    auto* view = qobject_cast<QTreeWidget*>(Page(app)->Control(ids::kJournal));
    QCOMPARE(view->topLevelItemCount(), 9);
    QCOMPARE(view->topLevelItem(0)->text(1), QStringLiteral("wynik"));
    QCOMPARE(view->topLevelItem(8)->text(1), QStringLiteral("początek"));
    QCOMPARE(Page(app)
                 ->installation()
                 .index(0, static_cast<int>(SiteColumn::kJournalOutcome))
                 .data()
                 .toString(),
             QStringLiteral("zweryfikowany"));

    // The resume's plan is the absent controller alone; line a has nothing
    // to do and no bar.
    app.prompts.answers = {true};
    Click(app, ids::kResume);
    QCOMPARE(app.prompts.asked.back().text,
             QStringLiteral("Plan: wysłanie programu\n"
                            "linia b (%1): sterownik 5: p.prg\n"
                            "\nWykonać?")
                 .arg(line_b_.device()));
    QCOMPARE(Page(app)->findChildren<QProgressBar*>().size(), 1);
    QVERIFY(WaitForRuns(ended, 2));
    QVERIFY2(summary().endsWith("nieobecny: 1."), qPrintable(summary()));
    QCOMPARE(Rows(app).last(), QStringLiteral("b/5 nieobecny"));
    // A start line of the resumed run, nothing else: 5 never answered.
    QCOMPARE(Journal("hala.site").size(), journal.size() + 1);
    QCOMPARE(Journal("hala.site").back().run, journal.front().run);

    // The rows as the command line's report writes them.
    app.prompts.files = {Path("raport.json")};
    Click(app, ids::kReport);
    QFile report(Path("raport.json"));
    QVERIFY(report.open(QIODevice::ReadOnly));
    QVERIFY(report.readAll().contains("\"outcome\":\"nieobecny\""));

    // "Kopia…" into the folder chosen, with the manifest of what it wrote.
    QVERIFY(QDir(Path("")).mkpath("kopia"));
    app.prompts.files = {Path("kopia")};
    Click(app, ids::kBackup);
    QVERIFY(WaitForRuns(ended, 3));
    QFile manifest(Path("kopia/MANIFEST.sha256"));
    QVERIFY(manifest.open(QIODevice::ReadOnly));
    QCOMPARE(manifest.readAll().count(".prg\n"), 4);
  }

  // "Przerwij" mid-upload ends both lines; every begun controller has its
  // outcome. While the run goes on the other tabs work, and the window's
  // job on a port of the run is refused, naming who holds it.
  void AbortEndsEveryLineAndTheJournalStaysWhole() {
    AppFixture app;
    Open(app, "wolna.site");
    QSignalSpy ended(&Page(app)->runner(), &SiteRunner::runEnded);
    StartLongUpload(app);

    app.window->SelectTab(0);
    app.window->SelectTab(kSiteTabIndex);
    app.Click(main_window_ids::kReadConfig);
    QVERIFY(!app.job.prepared());
    QCOMPARE(app.prompts.asked.back().kind, Kind::kWarning);
    QCOMPARE(app.prompts.asked.back().text,
             QStringLiteral("Port COM%1 jest zajęty: używa go zadanie obiektu "
                            "wolna.site (jako %2); nic nie zostało wysłane.")
                 .arg(slow_b_.port_number())
                 .arg(slow_b_.device()));

    // Well into the first controllers' programs.
    QTest::qWait(300);
    QVERIFY(Page(app)->runner().running());
    QElapsedTimer abort;
    abort.start();
    Click(app, ids::kAbort);
    QVERIFY(WaitForRuns(ended, 1));
    qInfo("Przerwij: both lines ended %lld ms after the click",
          static_cast<long long>(abort.elapsed()));

    QCOMPARE(AbortedOutcomes("wolna.site"), 2);
    QCOMPARE(Rows(app),
             (QStringList{"a/1 błąd 1.0", "a/2 pominięty", "b/3 błąd 1.0",
                          "b/4 pominięty", "b/5 pominięty"}));
    // The port is free again.
    app.Click(main_window_ids::kReadConfig);
    QVERIFY(app.job.prepared() || app.job.running());
    app.job.RequestAbort();
    app.job.Join();
  }

  // The other way: while a job of the window holds line b's port, a site
  // run is refused before it sends anything, and the site stays free.
  void SiteRunRefusedWhileTheWindowsJobHoldsItsPort() {
    AppFixture app;
    Open(app, "wolna.site");
    app.Click(main_window_ids::kDownloadAll);
    QVERIFY(app.job.running());
    Click(app, ids::kStatus);
    QCOMPARE(app.prompts.asked.back().kind, Kind::kWarning);
    QCOMPARE(app.prompts.asked.back().text,
             QStringLiteral("Port %1 jest zajęty: używa go zadanie głównego "
                            "okna (jako COM%2); nic nie zostało wysłane.")
                 .arg(slow_b_.device())
                 .arg(slow_b_.port_number()));
    QVERIFY(!Page(app)->runner().running());
    // Once the window's job has ended, its port is free for the site.
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    app.job.RequestAbort();
    QVERIFY(app.WaitForJob(finished));
    QSignalSpy ended(&Page(app)->runner(), &SiteRunner::runEnded);
    Click(app, ids::kStatus);
    QVERIFY(Page(app)->runner().running());
    QVERIFY(WaitForRuns(ended, 1));
  }

  // Closing the window mid-run ends the run as "Przerwij" does, its
  // journal written, before the window goes.
  void ClosingTheWindowEndsTheRunFirst() {
    AppFixture app;
    Open(app, "wolna.site");
    const int aborted = AbortedOutcomes("wolna.site");
    StartLongUpload(app);
    QVERIFY(app.window->close());
    QVERIFY(!Page(app)->runner().running());
    QCOMPARE(AbortedOutcomes("wolna.site"), aborted + 2);
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::SiteRunTest)
#include "site_run_test.moc"
