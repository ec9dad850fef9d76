// ". Komenda+1" against the virtual controller: the grid follows the
// position the controller reports and the register fields show its
// registers.
#include <QComboBox>
#include <QtTest>

#include "app/pages/editor/command_grid_view.h"
#include "app/pages/editor/editor_page_ids.h"
#include "app_fixture.h"
#include "core/editor/grid_rows.h"
#include "core/model/program_file.h"
#include "sim_process.h"

namespace lumera {
namespace {

namespace ids = editor_page_ids;
using testing::AppFixture;

class RunControlTest : public QObject {
  Q_OBJECT

 private:
  testing::SimProcess sim_;
  Workspace controller_;

 private slots:
  void initTestCase() {
    for (int segment = 0; segment < 2; ++segment) {
      for (int command = 0; command < 4; ++command) {
        controller_.store.SetCommand(segment, command, Command{1, 1, 5});
      }
    }
    QVERIFY(SaveProgramFile(controller_.store, sim_.StatePath().toStdString()));
    QVERIFY(sim_.Start({QStringLiteral("--registers"),
                        QStringLiteral("11,12,13,14,15,16,17,255")}));
  }

  // The controller enters segment 2 at its first command, then moves on
  // one command per step; the grid's selection follows each report.
  void StepShowsTheReportedPosition() {
    AppFixture app;
    app.workspace.store = controller_.store;
    sim_.OpenOn(app);
    // The page's own controls: their ids may also be the main window's.
    Page* page = app.window->PageAt(0);
    auto control = [page](int id) { return page->Control(id); };
    auto text = [&](int id) {
      return qobject_cast<QLabel*>(control(id))->text();
    };
    auto* grid = qobject_cast<CommandGridView*>(control(ids::kCommandGrid));
    QVERIFY(grid != nullptr);
    qobject_cast<QComboBox*>(control(ids::kSegmentChooser))->setCurrentIndex(1);
    grid->setCurrentIndex(grid->model()->index(3, kCommandColumn));
    QCOMPARE(text(ids::kRegister1), QString());

    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    for (int expected_row : {0, 1}) {
      finished.clear();
      QTest::mouseClick(
          qobject_cast<QAbstractButton*>(control(ids::kStepCommand)),
          Qt::LeftButton);
      QVERIFY(app.WaitForJob(finished, 30000));
      QCOMPARE(finished.takeFirst().at(0).toBool(), true);
      QCOMPARE(grid->currentIndex().row(), expected_row);
      QCOMPARE(grid->model()->rowCount(), 4);
    }
    QCOMPARE(text(ids::kRegister1), QStringLiteral("11"));
    QCOMPARE(text(ids::kRegister1 + 3), QStringLiteral("14"));
    QCOMPARE(text(ids::kRegister8), QStringLiteral("255"));
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::RunControlTest)
#include "run_control_test.moc"
