// Which requests each button of the main window sends: the frames written to
// the line with "Wszystkie" selected, where no reply is awaited.
#include <QtTest>
#include <memory>
#include <mutex>
#include <vector>

#include "app/shell/main_window_ids.h"
#include "app_fixture.h"
#include "recording_port.h"
#include "support/recording_editor.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;
using testing::AppFixture;
using testing::RecordingPort;

// The requests of the frames in `bytes`, each as "code" or "code/first
// payload byte", runs of equal entries written "entry*count".
QString Summarize(const std::vector<std::uint8_t>& bytes) {
  QStringList entries;
  std::size_t at = 0;
  while (at + 4 < bytes.size()) {
    if (bytes[at] != 0x88) return QStringLiteral("bad start at %1").arg(at);
    const int length = bytes[at + 3];
    QString entry = QString::number(bytes[at + 4]);
    if (length > 2) entry += QLatin1Char('/') + QString::number(bytes[at + 5]);
    entries << entry;
    at += static_cast<std::size_t>(length) + 4;
  }
  QStringList runs;
  for (qsizetype i = 0; i < entries.size();) {
    qsizetype j = i;
    while (j < entries.size() && entries[j] == entries[i]) ++j;
    runs << (j - i > 1 ? entries[i] + QLatin1Char('*') + QString::number(j - i)
                       : entries[i]);
    i = j;
  }
  return runs.join(QLatin1Char(' '));
}

class JobButtonsTest : public QObject {
  Q_OBJECT

 private:
  testing::OwnConfigHome config_home_;

 private slots:
  void ButtonSendsItsRequests_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("requests");
    // Segment 3 is shown; the editor grid holds 5 rows.
    QTest::newRow("R S T") << ids::kRestart << "64";
    QTest::newRow("Pobierz:3") << ids::kDownloadSegment << "65 78/2*255 66";
    QTest::newRow("POBIERZ") << ids::kDownloadAll
                             << "65 78/0*255 78/1*255 78/2*255 78/3*255 "
                                "78/4*255 78/5*255 78/6*255 78/7*255 "
                                "78/8*255 66";
    QTest::newRow("Wyślij:3") << ids::kUploadSegment << "96 77/2*255 64";
    QTest::newRow("WYŚLIJ") << ids::kUploadAll
                            << "96 77/0*255 77/1*255 77/2*255 77/3*255 "
                               "77/4*255 77/5*255 77/6*255 77/7*255 "
                               "77/8*255 64";
    QTest::newRow("? beside Wyślij:3") << ids::kVerifySegment << "65 78/2*5 66";
    QTest::newRow("? beside WYŚLIJ")
        << ids::kVerifyAll
        << "65 78/0*255 78/1*255 78/2*255 78/3*255 78/4*255 78/5*255 "
           "78/6*255 78/7*255 78/8*255 66";
    QTest::newRow("!") << ids::kErrorReport << "90";
    QTest::newRow("Czytaj") << ids::kReadConfig << "86 87 93 88";
    QTest::newRow("Wyślij") << ids::kWriteConfig << "84/1 85/0";
    QTest::newRow("Domyślna K") << ids::kDefaultConfigOnly << "81/1";
    QTest::newRow("Domyślna K+P") << ids::kDefaultConfigProgram << "81/0";
  }
  void ButtonSendsItsRequests() {
    QFETCH(int, button);
    QFETCH(QString, requests);
    auto written = std::make_shared<RecordingPort::Bytes>();
    AppFixture app;
    app.workspace.settings.current_segment = 3;
    app.Open();
    PortAccess access;
    access.create = [written] {
      return std::make_unique<RecordingPort>(written);
    };
    QVERIFY(app.job.SetPortAccess(access));
    RecordingEditor editor;
    editor.run = {.current_segment = 3, .grid_rows = 5};
    app.window->launcher().SetEditor(&editor);
    app.Click(ids::kRadioAll);
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    app.Click(button);
    QVERIFY(app.WaitForJob(finished, 60000));
    app.job.Join();
    QCOMPARE(finished.first().at(0).toBool(), true);
    const std::lock_guard<std::mutex> lock(written->mutex);
    QCOMPARE(Summarize(written->bytes), requests);
    QVERIFY(app.prompts.asked.empty());
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::JobButtonsTest)
#include "job_buttons_test.moc"
