// Jobs of the main window against the virtual controller, end to end: the
// program lumera-sim on a pseudo-terminal, registered as COM<n> in a
// private ports folder, and the job opening that port by its number.
#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QProgressBar>
#include <QtTest>
#include <atomic>
#include <future>

#include "app/pages/editor/command_grid_view.h"
#include "app/pages/editor/editor_page.h"
#include "app/pages/editor/editor_page_ids.h"
#include "app/session/trace_from_environment.h"
#include "app/shell/main_window_ids.h"
#include "app/widgets/qt_text.h"
#include "app_fixture.h"
#include "core/editor/grid_rows.h"
#include "core/model/program_file.h"
#include "core/session/program_diff.h"
#include "sim_process.h"
#include "support/in_memory_controller.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;
using testing::AppFixture;

const QString kSuccess = QStringLiteral("Operacja zakończona pomyślnie.");

class DownloadTest : public QObject {
  Q_OBJECT

 private:
  testing::SimProcess sim_;
  Workspace controller_;  // what the virtual controller holds

 private slots:
  void initTestCase() {
    for (int segment = 0; segment < kSegmentCount; ++segment) {
      for (int command = 0; command < 3; ++command) {
        controller_.store.SetCommand(
            segment, command,
            Command{0, static_cast<std::uint8_t>(segment),
                    static_cast<std::uint8_t>(command)});
      }
    }
    QVERIFY(SaveProgramFile(controller_.store, sim_.StatePath().toStdString()));
    QVERIFY(sim_.Start());
  }

  void JobEndsWithSuccess_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("requests");
    QTest::addColumn<bool>("reads_program");
    QTest::newRow("Pobierz:N") << ids::kDownloadSegment << 257 << true;
    QTest::newRow("POBIERZ") << ids::kDownloadAll << 9 * 255 + 2 << true;
    QTest::newRow("Czytaj") << ids::kReadConfig << 4 << false;
  }
  void JobEndsWithSuccess() {
    QFETCH(int, button);
    QFETCH(int, requests);
    QFETCH(bool, reads_program);
    AppFixture app;
    app.workspace.store.SetComment(0, 1, "zniknie");
    sim_.OpenOn(app);
    int grid_loads = 0;
    connect(&app.window->launcher().events(),
            &WorkerEvents::loadSegmentIntoGrid, [&] { ++grid_loads; });
    auto* progress = qobject_cast<QProgressBar*>(app.Control(ids::kProgress));
    int highest = 0;
    connect(progress, &QProgressBar::valueChanged,
            [&](int value) { highest = std::max(highest, value); });
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    // An undo step the download makes stale.
    auto* editor_page = dynamic_cast<EditorPage*>(app.window->PageAt(0));
    QVERIFY(editor_page != nullptr);
    QTest::mouseClick(qobject_cast<QAbstractButton*>(
                          editor_page->Control(editor_page_ids::kAppend)),
                      Qt::LeftButton);
    QVERIFY(editor_page->editor().CanUndo());

    app.Click(button);
    QVERIFY(app.job.prepared());
    QVERIFY(app.WaitForJob(finished, 60000));
    QCOMPARE(finished.takeFirst().at(0).toBool(), true);
    QCOMPARE(app.Text(ids::kStatusLine), kSuccess);
    QCOMPARE(progress->value(), 0);
    QCOMPARE(progress->maximum(), requests);
    QCOMPARE(highest, requests);
    QVERIFY(!app.job.prepared());
    QCOMPARE(editor_page->editor().CanUndo(), !reads_program);
    if (reads_program) {
      QCOMPARE(grid_loads, 1);
      QCOMPARE(app.workspace.store.CommandAt(0, 2),
               controller_.store.CommandAt(0, 2));
      QCOMPARE(app.workspace.store.CommandAt(0, 3), kEmptyCommand);
      QVERIFY(!app.workspace.store.comments().HasComment(0, 1));
      const bool all = button == ids::kDownloadAll;
      QCOMPARE(app.workspace.store.CommandAt(8, 1),
               all ? controller_.store.CommandAt(8, 1) : kEmptyCommand);
    } else {
      QCOMPARE(grid_loads, 0);
      QVERIFY(app.Text(ids::kVersion).startsWith(QStringLiteral("Wersja: ")));
    }
  }

  void TraceFileGetsEveryFrameOfTheJob() {
    const QString path = sim_.FilePath("trace.txt");
    qputenv("LUMERA_TRACE", path.toUtf8());
    const std::unique_ptr<TraceFile> trace = TraceFromEnvironment();
    qunsetenv("LUMERA_TRACE");
    QVERIFY(trace);
    AppFixture app;
    PortAccess access;
    access.trace = trace.get();
    sim_.OpenOn(app, access);
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    app.Click(ids::kReadConfig);
    QVERIFY(app.WaitForJob(finished, 60000));
    QCOMPARE(app.Text(ids::kStatusLine), kSuccess);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    // Four requests and their replies, then the empty rest after the last
    // newline.
    QCOMPARE(lines.size(), qsizetype{9});
    for (int i = 0; i < 8; ++i) {
      QVERIFY2(lines[i].contains(i % 2 == 0 ? " > " : " < "), lines[i]);
      QVERIFY2(lines[i].contains(" 88 FF "), lines[i]);
    }
    QVERIFY(lines[8].isEmpty());
  }

  void ErrorReportIsShownWhenRead() {
    AppFixture app;
    sim_.OpenOn(app);
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    app.Click(ids::kErrorReport);
    QVERIFY(app.WaitForJob(finished, 60000));
    QCOMPARE(app.Text(ids::kStatusLine), kSuccess);
    QCOMPARE(app.prompts.asked.size(), std::size_t{1});
    QCOMPARE(app.prompts.asked[0].caption,
             QStringLiteral("Opis błędu sterownika:"));
    QVERIFY(!app.prompts.asked[0].text.isEmpty());
    QVERIFY(!app.workspace.link.error_report.pending);
  }

  void VerifyAfterDownloadFindsNoDifference() {
    AppFixture app;
    sim_.OpenOn(app);
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    app.Click(ids::kDownloadSegment);
    QVERIFY(app.WaitForJob(finished, 60000));
    finished.clear();
    app.Click(ids::kVerifySegment);
    QVERIFY(app.WaitForJob(finished, 60000));
    QCOMPARE(app.Text(ids::kStatusLine), kSuccess);

    // One byte changed here: the controller's bytes are reported.
    finished.clear();
    app.workspace.store.SetCommand(0, 1, Command{0, 0, 9});
    // Verifying writes the editor's grid back first: the change made behind
    // the editor's back must reach its grid.
    emit app.window->launcher().events().loadSegmentIntoGrid();
    app.Click(ids::kVerifySegment);
    QVERIFY(app.WaitForJob(finished, 60000));
    QCOMPARE(app.Text(ids::kStatusLine),
             QStringLiteral("Błąd weryfikacji: 1/2= [00.00.01] hex"));
  }

  // The segment chooser clicked while "POBIERZ" runs: the segment left is
  // not written back over what the job reads, and at the end the store holds
  // what the controller holds.
  void SegmentChosenWhileDownloading() {
    InMemoryController controller;
    auto memory = std::make_unique<ProgramStore>();
    for (int command = 0; command < 10; ++command) {
      for (int segment = 0; segment < kSegmentCount; ++segment) {
        memory->SetCommand(segment, command,
                           Command{0, static_cast<std::uint8_t>(segment),
                                   static_cast<std::uint8_t>(command)});
      }
    }
    SimControllerState state = FreshControllerState(1);
    std::copy_n(memory->image().begin(), kProgramBytes, state.image.begin());
    controller.SetState(state);
    // The worker waits in segment 2 until the test has chosen (or given up).
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> waiting{false};
    controller.SetHook([&](const InMemoryController::Request& request) {
      if (request.index != 300) return;
      waiting = true;
      released.wait_for(std::chrono::seconds(20));
    });
    AppFixture app;
    app.workspace.store.SetCommand(0, 0, Command{1, 1, 5});
    app.Open();
    PortAccess access;
    access.create = [&controller] { return controller.MakePort(); };
    QVERIFY(app.job.SetPortAccess(access));
    app.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.window.get()));
    auto* page = dynamic_cast<EditorPage*>(app.window->PageAt(0));
    auto* chooser = qobject_cast<QComboBox*>(
        page->Control(editor_page_ids::kSegmentChooser));
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);

    app.Click(ids::kDownloadAll);
    QTRY_VERIFY(waiting.load());
    QCoreApplication::sendPostedEvents();
    QTest::mouseClick(chooser, Qt::LeftButton);
    QAbstractItemView* list = chooser->view();
    QTRY_VERIFY(list->isVisible());
    // A release right after the press that opened the list is not a choice.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    QTRY_COMPARE(page->editor().current_segment(), 2);
    QVERIFY(app.job.running());
    // Segment 2 is being read too: shown, not edited, and the line says so.
    QVERIFY(!page->Control(editor_page_ids::kAppend)->isEnabled());
    QCOMPARE(app.Text(ids::kStatusLine), ToQString(kSegmentHeldNote));
    release.set_value();
    QVERIFY(app.WaitForJob(finished, 60000));

    QCOMPARE(app.Text(ids::kStatusLine), kSuccess);
    const auto differences = DiffPrograms(*memory, app.workspace.store,
                                          {.segment = std::nullopt,
                                           .last_segment = 9,
                                           .comments = false,
                                           .configuration = false});
    QVERIFY2(
        differences.empty(),
        differences.empty() ? "" : FormatDifference(differences[0]).c_str());
    QCOMPARE(page->grid().model()->rowCount(), 10);
  }

  // From a keystroke to the wire: rows added, a value and a comment typed
  // into the real grid, a move not yet written back, then "Wyślij:N"; the
  // controller's memory, read back with "Pobierz:N", holds what the grid
  // showed. Last: it changes the controller's segment 1.
  void TypedRowsReachTheController() {
    AppFixture app;
    sim_.OpenOn(app);
    app.window->show();
    app.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(app.window.get()));
    auto* page = dynamic_cast<EditorPage*>(app.window->PageAt(0));
    QVERIFY(page != nullptr);
    auto* grid = qobject_cast<CommandGridView*>(
        page->Control(editor_page_ids::kCommandGrid));
    QVERIFY(grid != nullptr);
    page->editor().ClearList([](auto, auto) { return true; });
    auto click = [page](int id) {
      QTest::mouseClick(qobject_cast<QAbstractButton*>(page->Control(id)),
                        Qt::LeftButton);
    };
    click(editor_page_ids::kAppend);  // "Włącz wskazane wyjście" 1, 5
    click(editor_page_ids::kAppend);
    auto type_into = [grid](int row, int column, const QString& text) {
      const QRect cell = grid->visualRect(grid->model()->index(row, column));
      QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
      // The first key opens the cell's editor, which takes the rest.
      grid->setFocus();
      for (const QChar ch : text) {
        QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
      }
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    type_into(0, kValue2Column, QStringLiteral("77"));
    QTRY_COMPARE(grid->model()->index(0, kHexColumn).data().toString(),
                 QStringLiteral("01,01,4D"));
    type_into(0, kCommentColumn, QStringLiteral("pierwszy"));
    QTRY_COMPARE(grid->model()->index(0, kCommentColumn).data().toString(),
                 QStringLiteral("pierwszy"));
    click(editor_page_ids::kMoveDown);  // B, A: in the grid only

    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    app.Click(ids::kUploadSegment);
    QVERIFY(app.WaitForJob(finished, 60000));
    QCOMPARE(app.Text(ids::kStatusLine), kSuccess);

    for (int k = 0; k < kCommandsPerSegment; ++k) {
      app.workspace.store.SetCommand(0, k, Command{0x2D, 0, 0});
    }
    finished.clear();
    app.Click(ids::kDownloadSegment);
    QVERIFY(app.WaitForJob(finished, 60000));
    QCOMPARE(app.workspace.store.CommandAt(0, 0), (Command{1, 1, 5}));
    QCOMPARE(app.workspace.store.CommandAt(0, 1), (Command{1, 1, 77}));
    QCOMPARE(app.workspace.store.CommandAt(0, 2), kEmptyCommand);
    QCOMPARE(grid->model()->rowCount(), 2);
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::DownloadTest)
#include "download_test.moc"
