// What the configuration and outputs pages add to the core's table of edits
// and its jobs: the edits are wired from the table, the refreshes reach the
// widgets, and the page's buttons start the jobs they name.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/pages/config/config_page_ids.h"
#include "app/pages/outputs/outputs_page_ids.h"
#include "app/pages/page_controls.h"
#include "app/pages/table_edits.h"
#include "app/shell/main_window_ids.h"
#include "app_fixture.h"
#include "core/config/clock_time.h"
#include "core/config/controller_config.h"
#include "core/config/page_edits.h"
#include "core/session/jobs.h"
#include "recording_port.h"

namespace lumera {
namespace {

namespace cfg = config_page_ids;
namespace out = outputs_page_ids;
namespace win = main_window_ids;
using testing::AppFixture;

constexpr int kConfigTab = 1;
constexpr int kOutputsTab = 2;

using testing::RecordingPort;

// A main window whose line is a RecordingPort.
struct RecordingApp : AppFixture {
  std::shared_ptr<RecordingPort::Bytes> written =
      std::make_shared<RecordingPort::Bytes>();

  void OpenRecording() {
    Open();
    PortAccess access;
    access.create = [w = written] {
      return std::make_unique<RecordingPort>(w);
    };
    job.SetPortAccess(access);
  }
  std::vector<std::uint8_t> Written() {
    const std::lock_guard<std::mutex> lock(written->mutex);
    return written->bytes;
  }
};

QWidget* PageControl(AppFixture& app, int tab, int id) {
  return app.window->PageAt(tab)->Control(id);
}
QLineEdit* PageEdit(AppFixture& app, int tab, int id) {
  return qobject_cast<QLineEdit*>(PageControl(app, tab, id));
}
void ClickOn(AppFixture& app, int tab, int id) {
  QTest::mouseClick(qobject_cast<QAbstractButton*>(PageControl(app, tab, id)),
                    Qt::LeftButton);
}
void TypeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->clear();
  QTest::keyClicks(edit, text);
}
void LeaveEdit(QLineEdit* edit) {
  QFocusEvent out_event(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(edit, &out_event);
}
int Held(AppFixture& app, int id) {
  return ReadField(PageDataOf(app.workspace), EditOfControl(id)->field);
}

// The payloads of the frames in `bytes` (between the request code and the
// checksum), as in the main window's job tests.
std::vector<std::vector<std::uint8_t>> Payloads(
    const std::vector<std::uint8_t>& bytes) {
  std::vector<std::vector<std::uint8_t>> payloads;
  std::size_t at = 0;
  while (at + 4 < bytes.size() && bytes[at] == 0x88) {
    const std::size_t length = bytes[at + 3];
    if (at + 4 + length > bytes.size() || length < 2) break;
    payloads.emplace_back(bytes.begin() + static_cast<long>(at + 5),
                          bytes.begin() + static_cast<long>(at + 3 + length));
    at += length + 4;
  }
  return payloads;
}

QByteArray Hex(const std::vector<std::uint8_t>& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()))
      .toHex(' ');
}

class ConfigPageTest : public QObject {
  Q_OBJECT

 private:
  testing::OwnConfigHome config_home_;

 private slots:
  // The core names edits by their fields and the switch's pictures by their
  // positions; page_controls gives each its control: these hold it to the
  // ids the pages are built with.
  void EveryEditOfTheHeadersMapsToItsField_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<EditPage>("page");
    QTest::addColumn<FieldKind>("kind");
    QTest::addColumn<int>("number");
    auto row = [](const std::string& name, int id, EditPage page,
                  FieldKind kind, int number) {
      QTest::newRow(name.c_str()) << id << page << kind << number;
    };
    constexpr EditPage kC = EditPage::kConfig;
    constexpr EditPage kO = EditPage::kOutputs;
    row("Numer sterownika", cfg::kControllerNumber, kC,
        FieldKind::kNewControllerNumber, 0);
    row("Numer Punktu Dostępowego 1", cfg::kAccessPointHigh, kC,
        FieldKind::kAccessPointHigh, 0);
    row("Numer Punktu Dostępowego 2", cfg::kAccessPointMiddle, kC,
        FieldKind::kAccessPointMiddle, 0);
    row("Numer Punktu Dostępowego 3", cfg::kAccessPointLow, kC,
        FieldKind::kAccessPointLow, 0);
    for (int n = 1; n <= 16; ++n) {
      const auto i = static_cast<std::size_t>(n - 1);
      const std::string start = "Start Punkt " + std::to_string(n);
      row(start + " Segment", cfg::kStartSegments[i], kC,
          FieldKind::kStartPointSegment, n);
      row(start + " Komenda", cfg::kStartCommands[i], kC,
          FieldKind::kStartPointCommand, n);
    }
    for (int n = 1; n <= 8; ++n) {
      const auto i = static_cast<std::size_t>(n - 1);
      const std::string output = "Wyjście " + std::to_string(n);
      row("Mnożnik tempa " + std::to_string(n), cfg::kMultipliers[i], kC,
          FieldKind::kTempoMultiplier, n);
      row(output + " Typ odbiornika", out::kOutputTypes[i], kO,
          FieldKind::kOutputType, n);
      row(output + " Ograniczenie", out::kOutputLimits[i], kO,
          FieldKind::kOutputLimit, n);
      row(output + " Stan", out::kOutputStates[i], kO, FieldKind::kOutputState,
          n);
    }
    for (int t = 1; t <= 4; ++t) {
      const auto i = static_cast<std::size_t>(t - 1);
      const std::string type = "Typ " + std::to_string(t);
      row(type + " X", out::kReceiverXs[i], kO, FieldKind::kReceiverX, t);
      row(type + " Y", out::kReceiverYs[i], kO, FieldKind::kReceiverY, t);
    }
  }
  void EveryEditOfTheHeadersMapsToItsField() {
    QFETCH(int, id);
    QFETCH(EditPage, page);
    QFETCH(FieldKind, kind);
    QFETCH(int, number);
    const EditDef* edit = EditOfControl(id);
    QVERIFY(edit != nullptr);
    QCOMPARE(EditControlId(edit->field), id);
    QCOMPARE(edit->page, page);
    QCOMPARE(edit->field.kind, kind);
    QCOMPARE(edit->field.number, number);
    QCOMPARE(QString::fromUtf8(edit->name.data(),
                               static_cast<qsizetype>(edit->name.size())),
             QString::fromUtf8(QTest::currentDataTag()));
  }

  void ButtonsAndSwitchAgreeWithTheCore() {
    for (int n = 0; n < 16; ++n) {
      QVERIFY(!EditOfControl(cfg::kStartButtons[n]));
    }
    for (int n = 0; n < 8; ++n) QVERIFY(!EditOfControl(cfg::kTempoButtons[n]));
    for (int position = 1; position <= 8; ++position) {
      QCOMPARE(ControlIdOf(ItemTarget(PageItem::kSwitchPosition, position)),
               cfg::kSwitchPositions[static_cast<std::size_t>(position - 1)]);
    }
  }

  // One row per kind of wiring (each rule's values are the core's tests):
  // the held value after typing, and what the edit shows after it loses the
  // focus (only the controller number and the access point refresh then).
  void TypedTextIsTakenThroughTheTable_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("held");
    QTest::addColumn<QString>("shown_after_leaving");
    QTest::newRow("controller number 300")
        << kConfigTab << cfg::kControllerNumber << "300" << 254 << "254";
    QTest::newRow("access point low 250")
        << kConfigTab << cfg::kAccessPointLow << "250" << 240 << "240";
    QTest::newRow("start point 9 segment 11")
        << kConfigTab << cfg::kStartSegment9 << "11" << 1 << "11";
    QTest::newRow("type 4 X 61")
        << kOutputsTab << out::kReceiverX4 << "61" << 30 << "61";
  }
  void TypedTextIsTakenThroughTheTable() {
    QFETCH(int, tab);
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(int, held);
    QFETCH(QString, shown_after_leaving);
    AppFixture app;
    app.Open();
    app.window->show();
    app.window->SelectTab(tab);
    QLineEdit* edit = PageEdit(app, tab, id);
    QVERIFY(edit != nullptr);
    TypeInto(edit, typed);
    QCOMPARE(Held(app, id), held);
    LeaveEdit(edit);
    QCOMPARE(edit->text(), shown_after_leaving);
    // A tab change shows every held value.
    app.window->SelectTab(0);
    QCOMPARE(edit->text(), QString::number(held));
  }

  // The worker's refresh of the configuration page reaches the outputs
  // page; a row the output mask marks keeps what it showed.
  void ConfigRefreshAlsoRefreshesOutputs() {
    AppFixture app;
    app.Open();
    ControllerConfig config(app.workspace.store.mutable_image());
    config.SetOutput(1, {9, 200, 1});
    config.SetOutput(2, {8, 100, 1});
    // Output 2 not configurable; 5 to 8 marked configurable, but the record
    // has no place for them.
    app.workspace.status.output_mask = 0x02;
    emit app.window->launcher().events().refreshConfigPage();
    QCOMPARE(PageEdit(app, kOutputsTab, out::kOutputLimit1)->text(),
             QStringLiteral("200"));
    QCOMPARE(PageEdit(app, kOutputsTab, out::kOutputLimit2)->text(),
             QStringLiteral("0"));
    QCOMPARE(PageEdit(app, kOutputsTab, out::kOutputType5)->text(), QString());
    QVERIFY(!PageEdit(app, kOutputsTab, out::kOutputType5)->isEnabled());
    QCOMPARE(PageEdit(app, kOutputsTab, out::kOutputType5)->toolTip(),
             QString::fromUtf8(kNoRecordPlaceTip.data()));
    const auto* label = app.window->findChild<QWidget*>("outputRow5");
    QVERIFY(label && !label->isEnabled() &&
            label->toolTip() == QString::fromUtf8(kNoRecordPlaceTip.data()));
    QVERIFY(app.window->findChild<QWidget*>("outputRow4")->isEnabled());
  }

  // The page is filled as it is made: the clock shows the time of the
  // start, not the template's "Real Time".
  void ClockShowsTheStartTime() {
    AppFixture app;
    app.Open();
    auto* clock =
        qobject_cast<QLabel*>(PageControl(app, kConfigTab, cfg::kClock));
    QCOMPARE(clock->text(), QString::fromStdString(ClockText(
                                app.workspace.config_page.clock_time)));
  }

  void WriteNumberRefusesTheBroadcastAddress() {
    RecordingApp app;
    app.workspace.settings.controller_address = 255;
    app.OpenRecording();
    ClickOn(app, kConfigTab, cfg::kWriteControllerNumber);
    QVERIFY(!app.job.prepared());
    QCOMPARE(app.prompts.asked.size(), std::size_t{1});
    QCOMPARE(app.prompts.asked[0].caption, QStringLiteral("INFO"));
    QCOMPARE(app.prompts.asked[0].text,
             QString::fromUtf8(kNoBroadcastNumberWarning.data()));
    QVERIFY(app.Written().empty());
  }

  void StartButton9Payload_data() {
    QTest::addColumn<bool>("index_mode");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("by index") << true << true << QByteArray("08");
    QTest::newRow("from, all")
        << false << true << QByteArray("02 0b fa ff ff ff ff ff 07");
    // The target point 15, 15, 240 is word 0xFFF0.
    QTest::newRow("from, point")
        << false << false << QByteArray("02 0b f0 ff f0 ff f0 ff 07");
  }
  void StartButton9Payload() {
    QFETCH(bool, index_mode);
    QFETCH(bool, all);
    QFETCH(QByteArray, payload);
    RecordingApp app;
    app.OpenRecording();
    app.Type(win::kTimeByte, QStringLiteral("7"));
    app.Click(all ? win::kRadioAll : win::kRadioPoint);
    TypeInto(PageEdit(app, kConfigTab, cfg::kStartSegment9), "3");
    TypeInto(PageEdit(app, kConfigTab, cfg::kStartCommand9), "12");
    if (index_mode) ClickOn(app, kConfigTab, cfg::kIndexMode);
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    ClickOn(app, kConfigTab, cfg::kStartButton9);
    QVERIFY(app.WaitForJob(finished, 30000));
    app.job.Join();
    const auto payloads = Payloads(app.Written());
    QCOMPARE(payloads.size(), std::size_t{1});
    QCOMPARE(Hex(payloads[0]), payload);
  }

  void AccessPointResetNeedsTheRadio_data() {
    QTest::addColumn<bool>("radio");
    QTest::newRow("radio off") << false;
    QTest::newRow("radio on") << true;
  }
  void AccessPointResetNeedsTheRadio() {
    QFETCH(bool, radio);
    RecordingApp app;
    app.OpenRecording();
    if (radio) app.Click(win::kRadioOption);
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    ClickOn(app, kConfigTab, cfg::kAccessPointReset);
    if (radio) {
      QVERIFY(app.WaitForJob(finished, 30000));
      app.job.Join();
    } else {
      QVERIFY(!app.job.prepared());
      QVERIFY(!finished.wait(200));
    }
    QCOMPARE(app.Written().empty(), !radio);
    QVERIFY(app.prompts.asked.empty());
  }

  // Every control of the pages is named and carries its id as description.
  void PageControlsAreNamed() {
    AppFixture app;
    app.Open();
    for (int tab : {kConfigTab, kOutputsTab}) {
      const auto widgets = app.window->PageAt(tab)->findChildren<QWidget*>();
      int with_id = 0;
      for (QWidget* widget : widgets) {
        const int id = widget->property("controlId").toInt();
        if (id <= 0) continue;
        ++with_id;
        QVERIFY2(!widget->accessibleName().trimmed().isEmpty(),
                 qPrintable(widget->objectName()));
        QCOMPARE(widget->accessibleDescription(), QString::number(id));
      }
      QCOMPARE(with_id, tab == kConfigTab ? 87 : 32);
    }
    QCOMPARE(
        PageControl(app, kConfigTab, cfg::kStartSegment3)->accessibleName(),
        QStringLiteral("Start Punkt 3 Segment"));
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::ConfigPageTest)
#include "config_page_test.moc"
