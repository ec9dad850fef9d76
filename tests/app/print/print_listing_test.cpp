// The printing buttons: the print dialog through Prompts, the scope and the
// print option taken from the settings, and a refused printer's warning.
#include "app/print/print_listing.h"

#include <QTemporaryDir>
#include <QtTest>

#include "app/shell/main_window_ids.h"
#include "app_fixture.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;
using testing::AppFixture;
using Kind = testing::PromptRecord::Kind;

class PrintListingTest : public QObject {
  Q_OBJECT

 private:
  testing::OwnConfigHome config_home_;
  QTemporaryDir dir_;

  // Segments 1 and 3 hold commands, one of them a procedure entry; segment
  // 3 is shown.
  void Prepare(AppFixture& app) {
    app.Open();
    ProgramStore& store = app.workspace.store;
    store.SetCommand(0, 0, {1, 1, 5});
    store.SetCommand(2, 0, {2, 2, 7});
    store.SetCommand(2, 1, {1, 4, 200});
    store.SetComment(2, 1, "9Wejście: żuraw");
    app.workspace.settings.current_segment = 3;
    app.workspace.settings.controller_address = 9;
    app.workspace.settings.program_file_name = "łąka.prg";
  }

 private slots:
  void ScopeAndOptionComeFromTheSettings_data() {
    QTest::addColumn<bool>("all");
    QTest::addColumn<bool>("entries_only");
    QTest::addColumn<QList<int>>("segments");
    QTest::addColumn<QList<int>>("rows");
    QTest::newRow("DRUKUJ")
        << true << false << QList<int>{1, 3} << QList<int>{1, 3};
    QTest::newRow("Drukuj:3")
        << false << false << QList<int>{3} << QList<int>{3};
    QTest::newRow("entries only")
        << true << true << QList<int>{1, 3} << QList<int>{0, 2};
  }
  void ScopeAndOptionComeFromTheSettings() {
    QFETCH(bool, all);
    QFETCH(bool, entries_only);
    QFETCH(QList<int>, segments);
    QFETCH(QList<int>, rows);
    AppFixture app;
    Prepare(app);
    if (entries_only) app.Click(ids::kEntriesOnly);
    const auto pages =
        ListingPagesOf(app.workspace, all ? PrintScope::kAllSegments
                                          : PrintScope::kCurrentSegment);
    QCOMPARE(pages.size(), static_cast<std::size_t>(segments.size()));
    for (std::size_t p = 0; p < pages.size(); ++p) {
      const int segment = segments[static_cast<int>(p)];
      QCOMPARE(pages[p].header, "PROGRAM numer:" + std::to_string(segment) +
                                    "    Sterownik:9    PLIK: łąka.prg");
      QCOMPARE(static_cast<int>(pages[p].rows.size()),
               rows[static_cast<int>(p)]);
    }
  }

  void PrinterChoiceDecidesWhatHappens_data() {
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("warning");
    QTest::newRow("cancelled: nothing") << true << "listing.pdf"
                                        << "";
    QTest::newRow("printed") << false << "listing.pdf"
                             << "";
    QTest::newRow("refused") << false << "missing/listing.pdf"
                             << "StartDOC";
  }
  void PrinterChoiceDecidesWhatHappens() {
    QFETCH(bool, cancel);
    QFETCH(QString, file);
    QFETCH(QString, warning);
    AppFixture app;
    Prepare(app);
    const QString pdf = dir_.filePath(file);
    QFile::remove(pdf);
    if (!cancel) app.prompts.printers.push_back(pdf);
    app.Click(ids::kPrintAll);
    QCOMPARE(app.prompts.asked.front().kind, Kind::kPrint);
    QCOMPARE(app.prompts.Count(Kind::kWarning), warning.isEmpty() ? 0 : 1);
    if (!warning.isEmpty()) {
      QCOMPARE(app.prompts.asked.back().caption, QStringLiteral("INFO"));
      QCOMPARE(app.prompts.asked.back().text, warning);
    }
    QCOMPARE(QFileInfo(pdf).size() > 0, !cancel && warning.isEmpty());
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::PrintListingTest)
#include "print_listing_test.moc"
