// The printing buttons through the system's print service: run by
// with_print_service.sh, which starts a private scheduler (CUPS_SERVER), makes
// its queues and names the folder where the test printer keeps each job
// (LUMERA_PRINT_JOBS). What the printer received is read back with the
// poppler tools.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRect>
#include <QTimer>
#include <QtTest>

#include "app/session/qt_prompts.h"
#include "app/shell/main_window_ids.h"
#include "app_fixture.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;
using testing::AppFixture;
using Kind = testing::PromptRecord::Kind;
using Pages = QList<QStringList>;

// Standard output of a tool; fails the test when it does not finish well.
QString Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(60000) ||
      process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    qWarning().noquote() << program << arguments.join(' ')
                         << "failed:" << process.readAllStandardError();
    return QString();
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList JobFiles() {
  return QDir(qEnvironmentVariable("LUMERA_PRINT_JOBS"))
      .entryList({QStringLiteral("job-*.pdf")}, QDir::Files, QDir::Name);
}

// Every job the scheduler has taken, finished or not.
int SchedulerJobs() {
  return static_cast<int>(
      Run(QStringLiteral("lpstat"),
          {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o")})
          .split('\n', Qt::SkipEmptyParts)
          .size());
}

// Jobs the scheduler has not finished.
int PendingJobs() {
  return static_cast<int>(
      Run(QStringLiteral("lpstat"),
          {QStringLiteral("-W"), QStringLiteral("not-completed"),
           QStringLiteral("-o")})
          .split('\n', Qt::SkipEmptyParts)
          .size());
}

// The page texts of a received PDF, each line with its runs of blanks made
// one, empty lines left out.
Pages PageTexts(const QString& pdf) {
  Pages pages;
  const QString text =
      Run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
  for (const QString& page : text.split('\f', Qt::SkipEmptyParts)) {
    QStringList lines;
    for (const QString& line : page.split('\n')) {
      if (!line.simplified().isEmpty()) lines << line.simplified();
    }
    if (!lines.isEmpty()) pages << lines;
  }
  return pages;
}

// The bounds of what was drawn on the first page, in points from the page's
// top-left corner.
QRect DrawnBounds(const QString& pdf) {
  const QString stem = pdf + QStringLiteral(".page");
  Run(QStringLiteral("pdftoppm"),
      {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-gray"),
       QStringLiteral("-singlefile"), QStringLiteral("-f"), QStringLiteral("1"),
       QStringLiteral("-l"), QStringLiteral("1"), pdf, stem});
  const QImage image(stem + QStringLiteral(".pgm"));
  QRect bounds;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 128) bounds |= QRect(x, y, 1, 1);
    }
  }
  return bounds;
}

class PrintServiceTest : public QObject {
  Q_OBJECT

 private:
  testing::OwnConfigHome config_home_;

  // Segments 1 and 3 hold commands, one of them under a heading; segment 3
  // is shown. Set before the window opens, so that its grid shows them.
  static void Prepare(AppFixture& app) {
    ProgramStore& store = app.workspace.store;
    store.SetCommand(0, 0, {1, 1, 5});
    store.SetCommand(2, 0, {2, 2, 7});
    store.SetCommand(2, 1, {1, 4, 200});
    store.SetComment(2, 1, "5Start pompy żurawia");
    app.workspace.settings.current_segment = 3;
    app.workspace.settings.controller_address = 9;
    app.workspace.settings.program_file_name = "łąka.prg";
    app.prompts.printers_are_queues = true;
    app.Open();
  }

  // The job file that the click at `button` made the printer keep; empty
  // when none came, also when the scheduler reports every job done and the
  // printer has no file.
  static QString PrintedJob(AppFixture& app, int button) {
    const QStringList before = JobFiles();
    app.Click(button);
    QString job;
    const auto arrived = [&] {
      for (const QString& file : JobFiles()) {
        if (!before.contains(file)) job = file;
      }
      return !job.isEmpty();
    };
    (void)QTest::qWaitFor([&] { return arrived() || PendingJobs() == 0; },
                          60000);
    if (!arrived()) return QString();
    return QDir(qEnvironmentVariable("LUMERA_PRINT_JOBS")).filePath(job);
  }

 private slots:
  // The queues the scheduler has, and none on a system without them: the
  // dialog opens either way, and cancelling it prints nothing.
  void DialogOffersTheSystemsPrinters() {
    QStringList expected = qEnvironmentVariable("LUMERA_PRINT_QUEUES")
                               .split(',', Qt::SkipEmptyParts);
    QWidget owner;
    QtPrompts prompts(&owner);
    QStringList offered;
    bool shown = false;
    QTimer::singleShot(0, [&] {
      auto* dialog =
          qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      shown = true;
      if (auto* list =
              dialog->findChild<QComboBox*>(QStringLiteral("printers"))) {
        for (int i = 0; i < list->count(); ++i) {
          // Separators are items without text.
          if (!list->itemText(i).isEmpty()) offered << list->itemText(i);
        }
      }
      dialog->reject();
    });
    QPrinter printer(QPrinter::HighResolution);
    QVERIFY(!prompts.ChoosePrinter(printer));
    QVERIFY(shown);
    // Besides the queues the dialog always offers a PDF file.
    QCOMPARE(offered.size(), expected.size() + 1);
    qInfo() << "the dialog's own entry:" << offered.takeLast();
    offered.sort();
    QCOMPARE(offered, expected);
  }

  // The job arrives with the listing's pages in order, Polish letters
  // included, on the queue's paper, and the frame scaled inside the
  // printable area (the test printer's margins: 18 pt at the sides, 36 pt
  // at top and bottom).
  void ListingArrivesOnThePaperOfTheQueue_data() {
    QTest::addColumn<QString>("queue");
    QTest::addColumn<int>("button");
    QTest::addColumn<Pages>("pages");
    QTest::addColumn<QSize>("paper");
    const QStringList segment1 = {
        "PROGRAM numer:1 Sterownik:9 PLIK: łąka.prg",
        "001: Włącz wskazane wyjście Wyjście:1 Czas:5"};
    const QStringList segment3 = {
        "PROGRAM numer:3 Sterownik:9 PLIK: łąka.prg",
        "001: Wyłącz wskazane wyjście Wyjście:2 Czas:7", "Start pompy żurawia",
        "002: Włącz wskazane wyjście Wyjście:4 Czas:200"};
    QTest::newRow("DRUKUJ on A4")
        << "lumera-a4" << ids::kPrintAll << Pages{segment1, segment3}
        << QSize(595, 842);
    QTest::newRow("Drukuj:3 on Letter") << "lumera-letter" << ids::kPrintSegment
                                        << Pages{segment3} << QSize(612, 792);
  }
  void ListingArrivesOnThePaperOfTheQueue() {
    QFETCH(QString, queue);
    QFETCH(int, button);
    QFETCH(Pages, pages);
    QFETCH(QSize, paper);
    AppFixture app;
    Prepare(app);
    app.prompts.printers.push_back(queue);
    const QString job = PrintedJob(app, button);
    QVERIFY2(!job.isEmpty(), "no job reached the printer");
    QCOMPARE(app.prompts.Count(Kind::kWarning), 0);

    const Pages received = PageTexts(job);
    for (const QStringList& page : received) {
      qInfo().noquote() << "received page:" << page.join(QStringLiteral(" | "));
    }
    QCOMPARE(received, pages);
    const QString info = Run(QStringLiteral("pdfinfo"), {job});
    QVERIFY2(info.simplified().contains(QStringLiteral("Page size: %1 x %2 pts")
                                            .arg(paper.width())
                                            .arg(paper.height())),
             qPrintable(info));
    const QRect printable(18, 36, paper.width() - 36, paper.height() - 72);
    const QRect drawn = DrawnBounds(job);
    qInfo() << "drawn on page 1 (pt):" << drawn;
    QVERIFY(printable.adjusted(-1, -1, 1, 1).contains(drawn));
    // The frame starts at the printable area's corner and fills its height,
    // the longer side of the frame's proportions on both papers.
    QVERIFY(qAbs(drawn.left() - printable.left()) <= 2);
    QVERIFY(qAbs(drawn.top() - printable.top()) <= 2);
    QVERIFY(qAbs(drawn.bottom() - printable.bottom()) <= 2);
  }

  // A printer that cannot take the job gets the refusal's warning and
  // nothing is sent; a cancelled dialog sends and shows nothing. Either
  // way the window prints again afterwards.
  void RefusalSendsNothingAndPrintingGoesOn_data() {
    QTest::addColumn<QString>("queue");
    QTest::addColumn<bool>("vanishes");
    QTest::addColumn<QString>("warning");
    QTest::newRow("cancelled") << "" << false << "";
    QTest::newRow("stopped queue") << "lumera-stopped" << false << "StartDOC";
    QTest::newRow("queue not accepting jobs")
        << "lumera-rejecting" << false << "EndDoc";
    QTest::newRow("printer gone before the job")
        << "lumera-gone" << true << "StartDOC";
  }
  void RefusalSendsNothingAndPrintingGoesOn() {
    QFETCH(QString, queue);
    QFETCH(bool, vanishes);
    QFETCH(QString, warning);
    AppFixture app;
    Prepare(app);
    if (queue.isEmpty()) {
      app.prompts.printers.push_back(std::nullopt);
    } else {
      app.prompts.printers.push_back(queue);
    }
    if (vanishes) {
      app.prompts.after_printer_chosen = [&] {
        Run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), queue});
      };
    }
    const int jobs = SchedulerJobs();
    const QStringList files = JobFiles();
    app.Click(ids::kPrintAll);
    app.prompts.after_printer_chosen = nullptr;

    QCOMPARE(SchedulerJobs(), jobs);
    QCOMPARE(JobFiles(), files);
    QCOMPARE(app.prompts.Count(Kind::kWarning), warning.isEmpty() ? 0 : 1);
    if (!warning.isEmpty()) {
      QCOMPARE(app.prompts.asked.back().caption, QStringLiteral("INFO"));
      QCOMPARE(app.prompts.asked.back().text, warning);
    }

    app.prompts.printers.push_back(QStringLiteral("lumera-a4"));
    QVERIFY2(!PrintedJob(app, ids::kPrintSegment).isEmpty(),
             "no job after the refusal");
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::PrintServiceTest)
#include "print_service_test.moc"
