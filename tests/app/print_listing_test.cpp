// The printing buttons: the print dialog through Prompts, the scope and the
// print option of the main window, and the printer's refusals as warnings.
// The "printer" is a PDF file, read back with pdftotext.
#include "app/print/print_listing.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "app/shell/main_window_ids.h"
#include "app_fixture.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;
using testing::AppFixture;
using Kind = testing::PromptRecord::Kind;

// The lines of each page, as pdftotext reads them in drawing order (runs of
// blanks as one).
QList<QStringList> PdfPages(const QString& pdf) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-raw"), QStringLiteral("-enc"),
                 QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
  if (!process.waitForFinished(30000)) return {};
  QList<QStringList> pages;
  for (const QString& page : QString::fromUtf8(process.readAllStandardOutput())
                                 .split(QLatin1Char('\f'))) {
    QStringList lines = page.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!lines.isEmpty()) pages.push_back(lines);
  }
  return pages;
}

void Put(Workspace& workspace, int segment, int index, Command command,
         const char* comment = nullptr) {
  workspace.store.SetCommand(segment, index, command);
  if (comment != nullptr) workspace.store.SetComment(segment, index, comment);
}

class PrintListingTest : public QObject {
  Q_OBJECT

 private:
  testing::OwnConfigHome config_home_;
  QTemporaryDir dir_;

  // Segments 1 and 3 hold commands; segment 3 is shown.
  void Prepare(AppFixture& app) {
    app.Open();
    Put(app.workspace, 0, 0, {1, 1, 5});
    Put(app.workspace, 2, 0, {2, 2, 7}, "zwykły");
    Put(app.workspace, 2, 1, {1, 4, 200}, "9Wejście: żuraw");
    app.workspace.settings.current_segment = 3;
    app.workspace.settings.controller_address = 9;
    app.workspace.settings.program_file_name = "łąka.prg";
    InstallPrintListing(app.window->hooks(), app.prompts, app.workspace);
  }

 private slots:
  void CancellingPrintsAndShowsNothing() {
    AppFixture app;
    Prepare(app);
    app.Click(ids::kPrintAll);
    QCOMPARE(app.prompts.asked.size(), std::size_t{1});
    QCOMPARE(app.prompts.asked[0].kind, Kind::kPrint);
  }

  void ButtonsPrintTheirScope_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("entries_only");
    QTest::addColumn<QList<QStringList>>("pages");
    const QString header1 =
        QStringLiteral("PROGRAM numer:1 Sterownik:9 PLIK: łąka.prg");
    const QString header3 =
        QStringLiteral("PROGRAM numer:3 Sterownik:9 PLIK: łąka.prg");
    const QString row1 =
        QStringLiteral("001: Włącz wskazane wyjście Wyjście:1 Czas:5");
    const QString row3_1 =
        QStringLiteral("001: Wyłącz wskazane wyjście Wyjście:2 Czas:7 zwykły");
    const QString row3_2 =
        QStringLiteral("002: Włącz wskazane wyjście Wyjście:4 Czas:200");
    const QString heading = QStringLiteral("Wejście: żuraw");
    QTest::newRow("DRUKUJ: all segments")
        << ids::kPrintAll << false
        << QList<QStringList>{{header1, row1},
                              {header3, row3_1, heading, row3_2}};
    QTest::newRow("Drukuj:3: the shown segment")
        << ids::kPrintSegment << false
        << QList<QStringList>{{header3, row3_1, heading, row3_2}};
    QTest::newRow("DRUKUJ, procedure entries only")
        << ids::kPrintAll << true
        << QList<QStringList>{{header1}, {header3, heading, row3_2}};
  }
  void ButtonsPrintTheirScope() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
      QSKIP("poppler-utils not installed");
    }
    QFETCH(int, button);
    QFETCH(bool, entries_only);
    QFETCH(QList<QStringList>, pages);
    AppFixture app;
    Prepare(app);
    if (entries_only) app.Click(ids::kEntriesOnly);
    const QString pdf = dir_.filePath(QStringLiteral("listing.pdf"));
    app.prompts.printers.push_back(pdf);
    app.Click(button);
    QCOMPARE(app.prompts.Count(Kind::kWarning), 0);
    QCOMPARE(PdfPages(pdf), pages);
  }

  void RefusedPrinterWarnsAndPrintsNothing() {
    AppFixture app;
    Prepare(app);
    const QString pdf = dir_.filePath(QStringLiteral("missing/listing.pdf"));
    app.prompts.printers.push_back(pdf);
    app.Click(ids::kPrintSegment);
    QCOMPARE(app.prompts.Count(Kind::kWarning), 1);
    QCOMPARE(app.prompts.asked.back().caption, QStringLiteral("INFO"));
    QCOMPARE(app.prompts.asked.back().text, QStringLiteral("StartDOC"));
    QVERIFY(!QFile::exists(pdf));
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::PrintListingTest)
#include "print_listing_test.moc"
