// The main window of the Windows build under wine, started as lumera.exe
// starts it: the settings file of the working folder names COM23, which the
// wine prefix leads to lumera-sim, the port list is the system's, and the
// real buttons are clicked. tests/wine/window_wine_test.sh prepares the
// folder (with program.prg, a commented program whose segments 1 to 9 are
// full) and runs the two cases in order, each in a process of its own; it
// then checks the controller's memory and the printed PDF.
#include <QAbstractButton>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "app/pages/editor/command_grid_view.h"
#include "app/pages/editor/editor_page.h"
#include "app/pages/editor/editor_page_ids.h"
#include "app/shell/application_setup.h"
#include "app/shell/main_window.h"
#include "app/shell/main_window_ids.h"
#include "app/shell/startup.h"
#include "core/editor/grid_rows.h"
#include "core/link/transfer_job.h"
#include "core/model/program_file.h"
#include "core/session/workspace.h"
#include "core/shell/port_discovery.h"
#include "core/shell/settings_file.h"
#include "support/scripted_prompts.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;
using Kind = testing::PromptRecord::Kind;

const QString kSuccess = QStringLiteral("Operacja zakończona pomyślnie.");
constexpr char kProgram[] = "program.prg";
constexpr int kUploadedSegments = 9;

class WindowWineTest : public QObject {
  Q_OBJECT

 private:
  Workspace workspace_;
  TransferJob job_;
  testing::ScriptedPrompts prompts_;
  std::unique_ptr<MainWindow> window_;

  // As main() does, with the scripted prompts in place of the dialogs.
  void Open(const char* command_line) {
    const StartupResult started =
        StartUp(workspace_, command_line, SettingsPathOfWorkingDirectory());
    window_ = std::make_unique<MainWindow>(
        workspace_, job_, prompts_, started.settings_path,
        DiscoverSerialPorts(), started.command_line_file);
    ShowCentred(*window_);
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }

  QString Text(int id) const {
    QWidget* control = window_->Control(id);
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    return qobject_cast<QAbstractButton*>(control)->text();
  }

  // Clicks the button captioned `caption` and waits for its job's end.
  void RunJob(int id, const QString& caption) {
    QCOMPARE(Text(id), caption);
    QSignalSpy finished(window_.get(), &MainWindow::jobFinished);
    QTest::mouseClick(qobject_cast<QAbstractButton*>(window_->Control(id)),
                      Qt::LeftButton);
    QVERIFY(finished.wait(120000));
    QCOMPARE(Text(ids::kStatusLine), kSuccess);
  }

  CommandGridView* Grid() const {
    auto* page = dynamic_cast<EditorPage*>(window_->PageAt(0));
    return page == nullptr ? nullptr
                           : qobject_cast<CommandGridView*>(
                                 page->Control(editor_page_ids::kCommandGrid));
  }

 private slots:
  void UploadsTheCommandLineProgram() {
    Open(kProgram);
    auto* ports = qobject_cast<QComboBox*>(window_->Control(ids::kPortList));
    QCOMPARE(ports->currentText(), QStringLiteral("COM23"));
    QVERIFY(Grid() != nullptr);
    QCOMPARE(Grid()->model()->rowCount(), kCommandsPerSegment);
    RunJob(ids::kUploadAll, QStringLiteral("WYŚLIJ"));
    QCOMPARE(prompts_.Count(Kind::kWarning), 0);
  }

  void ReadsBackAndPrints() {
    Open("");
    CommandGridView* grid = Grid();
    QVERIFY(grid != nullptr);
    QCOMPARE(grid->model()->rowCount(), 0);
    RunJob(ids::kDownloadAll, QStringLiteral("POBIERZ"));

    ProgramStore uploaded;
    QVERIFY(LoadProgramFile(uploaded, kProgram));
    const ProgramImage& got = workspace_.store.image();
    const auto end = static_cast<std::ptrdiff_t>(kUploadedSegments *
                                                 kCommandsPerSegment * 3);
    QVERIFY(
        std::equal(got.begin(), got.begin() + end, uploaded.image().begin()));
    QCOMPARE(grid->model()->rowCount(), kCommandsPerSegment);
    const Command first = uploaded.CommandAt(0, 0);
    QCOMPARE(grid->model()->index(0, kHexColumn).data().toString(),
             QString::asprintf("%02X,%02X,%02X", first.code, first.param1,
                               first.param2));

    const QString pdf = QDir::current().filePath(QStringLiteral("listing.pdf"));
    prompts_.printers.push_back(pdf);
    QCOMPARE(Text(ids::kPrintAll), QStringLiteral("DRUKUJ"));
    QTest::mouseClick(
        qobject_cast<QAbstractButton*>(window_->Control(ids::kPrintAll)),
        Qt::LeftButton);
    QCOMPARE(prompts_.Count(Kind::kPrint), 1);
    QCOMPARE(prompts_.Count(Kind::kWarning), 0);
    QVERIFY(QFileInfo(pdf).size() > 0);
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::WindowWineTest)
#include "window_wine_test.moc"
