// The main window: its controls, start values, number fields, tab switching,
// command guards and the close sequence.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <thread>

#include "app/pages/editor/editor_page.h"
#include "app/resources/app_resources.h"
#include "app/resources/image_names.h"
#include "app/shell/main_window_ids.h"
#include "app_fixture.h"
#include "core/model/command_catalogue.h"
#include "core/model/program_file.h"
#include "core/session/jobs.h"
#include "recording_pages.h"
#include "support/recording_editor.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;
using testing::AppFixture;
using testing::PromptRecord;
using testing::RecordingPages;
using Kind = PromptRecord::Kind;

const QString kBroadcastWarning = QStringLiteral(
    "Tego polecenia nie można wysyłać do wszystkich sterowników !");

std::vector<QString> ReadLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  std::vector<QString> lines;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (!line.isEmpty()) lines.push_back(QString::fromLatin1(line).trimmed());
  }
  return lines;
}

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  testing::OwnConfigHome config_home_;

 private slots:
  void EveryControlHasItsIdCaptionAndName_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("accessible_name");
    auto row = [](int id, const QString& caption, const QString& name) {
      QTest::newRow(QByteArray::number(id).constData())
          << id << caption << name;
    };
    row(ids::kLoadFile, "Z pliku", "Z pliku");
    row(ids::kSaveFile, "Do pliku", "Do pliku");
    row(ids::kPrintAll, "DRUKUJ", "DRUKUJ");
    row(ids::kEntriesOnly, "Tylko wejścia procedur", "Tylko wejścia procedur");
    row(ids::kControllerNumber, "1", "STEROWNIK nr");
    row(ids::kRestart, "R\nS\nT", "R S T");
    row(ids::kDownloadAll, "POBIERZ", "POBIERZ");
    row(ids::kUploadAll, "WYŚLIJ", "WYŚLIJ");
    row(ids::kVerifySegment, "?", "? (Wyślij:1)");
    row(ids::kVerifyAll, "?", "? (WYŚLIJ)");
    row(ids::kAbort, "Przerwij", "Przerwij");
    row(ids::kErrorReport, "!", "!");
    row(ids::kReadConfig, "Czytaj", "Czytaj");
    row(ids::kWriteConfig, "Wyślij", "Wyślij");
    row(ids::kDefaultConfigOnly, "Domyślna K", "Domyślna K");
    row(ids::kDefaultConfigProgram, "Domyślna K+P", "Domyślna K+P");
    row(ids::kRadioOption, "Radio", "Radio");
    row(ids::kRadioPoint, "Do Punktu Numer", "Do Punktu Numer");
    row(ids::kRadioAll, "Wszystkie", "Wszystkie");
    row(ids::kTimeByte, "0", "Czas");
    row(ids::kRadioReset, "Reset", "Reset");
    row(ids::kPortList, "", "Port szeregowy");
    row(ids::kStatusLine, MainWindow::BuildStamp(), "Stan transmisji");
    row(ids::kProgress, "", "Postęp transmisji");
    row(ids::kRadioHigh, "15", "Adres radiowy: starsza cyfra");
    row(ids::kRadioSecond, "15", "Adres radiowy: druga cyfra");
    row(ids::kRadioLow, "240", "Adres radiowy: młodszy bajt");
  }
  void EveryControlHasItsIdCaptionAndName() {
    QFETCH(int, id);
    QFETCH(QString, caption);
    QFETCH(QString, accessible_name);
    AppFixture app;
    app.Open();
    QWidget* control = app.Control(id);
    QVERIFY(control != nullptr);
    QVERIFY(!control->objectName().isEmpty());
    QCOMPARE(app.Text(id), caption);
    QCOMPARE(control->accessibleName(), accessible_name);
    QCOMPARE(control->accessibleDescription(), QString::number(id));
  }

  void ShowsStartValues() {
    AppFixture app;
    app.Open();
    QCOMPARE(app.window->windowTitle(),
             QStringLiteral("Edytor programu sterownika [AVR 1.0]"));
    QVERIFY(!app.window->windowIcon().isNull());
    QCOMPARE(app.Text(ids::kControllerHex), QStringLiteral("01h"));
    QCOMPARE(app.Text(ids::kVersion), QStringLiteral("nie odczytana!"));
    QCOMPARE(app.Text(ids::kFileName), QStringLiteral("Prog_001.prg"));
    QCOMPARE(app.Text(ids::kDownloadSegment), QStringLiteral("Pobierz:1"));
    QCOMPARE(app.Text(ids::kUploadSegment), QStringLiteral("Wyślij:1"));
    QCOMPARE(app.Text(ids::kPrintSegment), QStringLiteral("Drukuj:1"));
    QVERIFY(app.Checked(ids::kRadioPoint));
    QVERIFY(!app.Checked(ids::kRadioAll));
    QVERIFY(!app.Checked(ids::kRadioOption));
    QVERIFY(!app.Checked(ids::kEntriesOnly));
    QCOMPARE(qobject_cast<QProgressBar*>(app.Control(ids::kProgress))->value(),
             0);
    QVERIFY(
        QRegularExpression(QStringLiteral("^[A-Z][a-z]{2} [ 123]\\d \\d{4} / "
                                          "\\d\\d:\\d\\d:\\d\\d$"))
            .match(app.Text(ids::kStatusLine))
            .hasMatch());

    auto* tabs = qobject_cast<QTabBar*>(app.Control(ids::kTabs));
    QCOMPARE(tabs->count(), 4);
    QCOMPARE(tabs->tabText(0), QStringLiteral("      Edytor     "));
    QCOMPARE(tabs->tabText(1), QStringLiteral("   Konfiguracja  "));
    QCOMPARE(tabs->tabText(2), QStringLiteral("     Wyjścia     "));
    QCOMPARE(tabs->tabText(3), QStringLiteral("      Obiekt     "));
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(!app.window->PageAt(0)->isHidden());
    QVERIFY(app.window->PageAt(1)->isHidden());
    QVERIFY(app.window->PageAt(2)->isHidden());
    QVERIFY(app.window->PageAt(3)->isHidden());
  }

  void ShowsWorkingValuesOnRefresh() {
    AppFixture app;
    app.Open();
    app.workspace.settings.controller_address = 0;
    app.workspace.settings.current_segment = 3;
    app.workspace.settings.radio_option = 1;
    app.workspace.link.radio_mode = RadioMode::kAll;
    app.workspace.status.version_major = 1;
    app.workspace.status.version_minor = 2;
    app.window->RefreshMainStatus();
    QCOMPARE(app.Text(ids::kControllerHex), QStringLiteral("    "));
    QCOMPARE(app.Text(ids::kVersion), QStringLiteral("Wersja: 1.2"));
    QCOMPARE(app.Text(ids::kDownloadSegment), QStringLiteral("Pobierz:3"));
    QCOMPARE(app.Text(ids::kUploadSegment), QStringLiteral("Wyślij:3"));
    QCOMPARE(app.Text(ids::kPrintSegment), QStringLiteral("Drukuj:3"));
    QVERIFY(app.Checked(ids::kRadioOption));
    QVERIFY(app.Checked(ids::kRadioAll));
    QVERIFY(!app.Checked(ids::kRadioPoint));
  }

  // Both print buttons print the store with the editor's rows written
  // back: a move made in the grid is in the listing.
  void PrintsTheShownSegmentOrAll() {
    AppFixture app;
    app.workspace.store.SetCommand(0, 0, Command{1, 1, 1});
    app.workspace.store.SetCommand(0, 1, Command{1, 2, 2});
    app.Open();
    std::vector<bool> printed;
    std::vector<int> first_param;
    app.window->SetPrintListing([&](bool all) {
      printed.push_back(all);
      first_param.push_back(app.workspace.store.CommandAt(0, 0).param1);
    });
    auto* editor_page = dynamic_cast<EditorPage*>(app.window->PageAt(0));
    QVERIFY(editor_page != nullptr);
    QVERIFY(editor_page->editor().MoveCommandDown());
    app.Click(ids::kPrintSegment);
    QVERIFY(editor_page->editor().MoveCommandUp());
    app.Click(ids::kPrintAll);
    QCOMPARE(printed, (std::vector<bool>{false, true}));
    QCOMPARE(first_param, (std::vector<int>{2, 1}));
  }

  void NumberFieldsCorrectWhatIsTyped_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown_after_leaving");
    QTest::addColumn<QString>("hex");
    QTest::newRow("number 0 shows 1")
        << ids::kControllerNumber << "0" << 1 << "1"
        << "01h";
    QTest::newRow("number 999 shows 255")
        << ids::kControllerNumber << "999" << 255 << "255"
        << "FFh";
    QTest::newRow("number 10 is 0Ah")
        << ids::kControllerNumber << "10" << 10 << "10"
        << "0Ah";
    QTest::newRow("empty number is 1")
        << ids::kControllerNumber << "" << 1 << "1"
        << "01h";
    QTest::newRow("high nibble 20 shows 4")
        << ids::kRadioHigh << "20" << 4 << "4"
        << "01h";
    QTest::newRow("second nibble 31 shows 15")
        << ids::kRadioSecond << "31" << 15 << "15"
        << "01h";
    QTest::newRow("low byte 250 shows 240")
        << ids::kRadioLow << "250" << 240 << "240"
        << "01h";
    QTest::newRow("low byte 7 stays") << ids::kRadioLow << "7" << 7 << "7"
                                      << "01h";
    QTest::newRow("time 300 stores 255 and still shows 300")
        << ids::kTimeByte << "300" << 255 << "300"
        << "01h";
    QTest::newRow("letters are not accepted")
        << ids::kTimeByte << "1x2" << 12 << "12"
        << "01h";
  }
  void NumberFieldsCorrectWhatIsTyped() {
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, shown_after_leaving);
    QFETCH(QString, hex);
    AppFixture app;
    app.Open();
    app.Type(id, typed);
    app.Leave(id);
    const ShellSettings& settings = app.workspace.settings;
    const int value =
        id == ids::kControllerNumber ? settings.controller_address
        : id == ids::kRadioHigh      ? settings.target_radio_address.high
        : id == ids::kRadioSecond    ? settings.target_radio_address.second
        : id == ids::kRadioLow       ? settings.target_radio_address.low
                                     : app.workspace.link.time_byte;
    QCOMPARE(value, stored);
    QCOMPARE(app.Text(id), shown_after_leaving);
    QCOMPARE(app.Text(ids::kControllerHex), hex);
    // The worker reads the new values from its next frame on.
    const LineValues line = app.job.line_values();
    QCOMPARE(line.controller_address, settings.controller_address);
    QCOMPARE(line.radio.target_address, settings.target_radio_address.Word());
  }

  // Controller number 0 shows as four spaces; what the user types after
  // them is the new number.
  void TypingAfterTheSpacesOfNumberZero() {
    AppFixture app;
    app.Open();
    app.workspace.settings.controller_address = 0;
    app.window->RefreshMainStatus();
    QCOMPARE(app.Text(ids::kControllerHex), QStringLiteral("    "));
    auto* field = qobject_cast<QLineEdit*>(app.Control(ids::kControllerNumber));
    QCOMPARE(field->text(), QStringLiteral("    "));
    field->setCursorPosition(4);
    QTest::keyClicks(field, QStringLiteral("7"));
    QCOMPARE(app.workspace.settings.controller_address, 7);
    app.Leave(ids::kControllerNumber);
    QCOMPARE(app.Text(ids::kControllerNumber), QStringLiteral("7"));
    QCOMPARE(app.Text(ids::kControllerHex), QStringLiteral("07h"));
    // Letters and spaces after digits are still refused.
    QTest::keyClicks(field, QStringLiteral(" x"));
    QCOMPARE(app.Text(ids::kControllerNumber), QStringLiteral("7"));
  }

  // The radio mode and the two check boxes follow the keyboard too.
  void KeyboardSetsRadioModeAndOptions() {
    AppFixture app;
    app.Open();
    app.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.window.get()));
    QWidget* point = app.Control(ids::kRadioPoint);
    point->setFocus();
    QTest::keyClick(point, Qt::Key_Down);
    QCOMPARE(app.workspace.link.radio_mode, RadioMode::kAll);
    QTest::keyClick(app.Control(ids::kRadioAll), Qt::Key_Up);
    QCOMPARE(app.workspace.link.radio_mode, RadioMode::kPoint);
    QTest::keyClick(app.Control(ids::kEntriesOnly), Qt::Key_Space);
    QCOMPARE(app.workspace.settings.entries_only, 1);
    QTest::keyClick(app.Control(ids::kRadioOption), Qt::Key_Space);
    QCOMPARE(app.workspace.settings.radio_option, 1);
  }

  // A low byte above 240 can only come from the settings file; refreshes
  // and leaving the field untouched keep it, typing bounds it.
  void RememberedLowByteStaysUntilTyped() {
    AppFixture app;
    app.workspace.settings.target_radio_address.low = 250;
    app.Open();
    QCOMPARE(app.Text(ids::kRadioLow), QStringLiteral("250"));
    app.window->RefreshMainStatus();
    app.Leave(ids::kRadioLow);
    QCOMPARE(app.workspace.settings.target_radio_address.low, 250);
    QCOMPARE(app.job.line_values().radio.target_address, 0xFFFA);
    app.Type(ids::kRadioLow, "250");
    QCOMPARE(app.workspace.settings.target_radio_address.low, 240);
    app.Leave(ids::kRadioLow);
    QCOMPARE(app.Text(ids::kRadioLow), QStringLiteral("240"));
  }

  // A dialog's frame: caption, system menu and minimize box only.
  void FrameHasNoMaximizeBox() {
    AppFixture app;
    app.Open();
    const Qt::WindowFlags flags = app.window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
  }

  // A picture missing from the resources or drawn at another size would leave
  // the pages' buttons and the command chooser blank or cut wrongly.
  void PicturesLoadAtTheirSizes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("program icon") << kProgramIconImage << QSize(32, 32);
    QTest::newRow("command icons")
        << kCommandIconsImage
        << QSize(kCommandIconCount * kCommandIconSize, kCommandIconSize);
    const QSize lamp(kLampImageSize, kLampImageSize);
    const QSize lever(kSwitchImageWidth, kSwitchImageHeight);
    QTest::newRow("lamp off") << kLampOffImage << lamp;
    QTest::newRow("lamp on") << kLampOnImage << lamp;
    QTest::newRow("switch off") << kSwitchOffImage << lever;
    QTest::newRow("switch on") << kSwitchOnImage << lever;
  }

  void PicturesLoadAtTheirSizes() {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    static_assert(kCommandIconCount >= kCatalogueSize);
    RegisterAppResources();
    const QImage image(name);
    QVERIFY2(!image.isNull(), qPrintable(name));
    QCOMPARE(image.size(), size);
  }

  void TimeFieldShowsStoredValueAtNextRefresh() {
    AppFixture app;
    app.Open();
    app.Type(ids::kTimeByte, "300");
    app.Leave(ids::kTimeByte);
    QCOMPARE(app.Text(ids::kTimeByte), QStringLiteral("300"));
    app.window->RefreshMainStatus();
    QCOMPARE(app.Text(ids::kTimeByte), QStringLiteral("255"));
  }

  void BroadcastGuardRefusesJobs_data() {
    QTest::addColumn<int>("button");
    QTest::newRow("Czytaj") << ids::kReadConfig;
    QTest::newRow("POBIERZ") << ids::kDownloadAll;
    QTest::newRow("WYŚLIJ") << ids::kUploadAll;
    QTest::newRow("!") << ids::kErrorReport;
    QTest::newRow("Domyślna K") << ids::kDefaultConfigOnly;
    QTest::newRow("Domyślna K+P") << ids::kDefaultConfigProgram;
  }
  void BroadcastGuardRefusesJobs() {
    QFETCH(int, button);
    AppFixture app;
    app.Open();
    app.Type(ids::kControllerNumber, "255");
    app.Click(button);
    QVERIFY(!app.job.prepared());
    // Only the warning; 255 is spared the defaults question.
    QCOMPARE(app.prompts.asked.size(), std::size_t{1});
    QCOMPARE(app.prompts.asked[0].kind, Kind::kWarning);
    QCOMPARE(app.prompts.asked[0].caption, QStringLiteral("INFO"));
    QCOMPARE(app.prompts.asked[0].text, kBroadcastWarning);
  }

  void JobButtonsStartTheirJobs_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("address");
    QTest::addColumn<bool>("radio_on");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("question");
    QTest::addColumn<bool>("started");
    QTest::newRow("R S T reaches every controller")
        << ids::kRestart << 255 << false << true << false << true;
    QTest::newRow("K+P to controller 7 asks, Cancel")
        << ids::kDefaultConfigProgram << 7 << false << false << true << false;
    QTest::newRow("K+P to controller 7 asks, OK")
        << ids::kDefaultConfigProgram << 7 << false << true << true << true;
    QTest::newRow("K to controller 1 does not ask")
        << ids::kDefaultConfigOnly << 1 << false << true << false << true;
    QTest::newRow("Reset with the radio off does nothing")
        << ids::kRadioReset << 1 << false << true << false << false;
    QTest::newRow("Reset with the radio on")
        << ids::kRadioReset << 1 << true << true << false << true;
    QTest::newRow("Pobierz:N")
        << ids::kDownloadSegment << 3 << false << true << false << true;
    QTest::newRow("POBIERZ to all through the radio point")
        << ids::kDownloadAll << 255 << true << true << false << true;
  }
  void JobButtonsStartTheirJobs() {
    QFETCH(int, button);
    QFETCH(int, address);
    QFETCH(bool, radio_on);
    QFETCH(bool, answer);
    QFETCH(bool, question);
    QFETCH(bool, started);
    AppFixture app;
    app.workspace.settings.port_number = 119;  // no such port here
    app.workspace.settings.controller_address = address;
    app.workspace.settings.radio_option = radio_on ? 1 : 0;
    app.Open();
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    app.prompts.answers = {answer};
    app.Click(button);
    QCOMPARE(app.prompts.Count(Kind::kOkCancel), question ? 1 : 0);
    if (question) {
      QCOMPARE(app.prompts.asked[0].caption, QStringLiteral("INFO"));
      QCOMPARE(app.prompts.asked[0].text,
               QStringLiteral(
                   "Polecenie ustawi numer sterownika na 1. Kontynuować ?"));
    }
    QCOMPARE(app.prompts.Count(Kind::kWarning), 0);
    if (!started) {
      QVERIFY(!app.job.prepared());
      QVERIFY(!finished.wait(200));
      return;
    }
    QVERIFY(app.WaitForJob(finished));
    QCOMPARE(app.Text(ids::kStatusLine),
             QStringLiteral("Błąd otwarcia portu !"));
    // Why, for the one who fixes the setup: the reason of the port the job
    // tried, not of another attempt.
    const QString why = app.Control(ids::kStatusLine)->toolTip();
    QVERIFY2(why.startsWith(QStringLiteral("/nonexistent/lumera-test-port: ")),
             qPrintable(why));
    QCOMPARE(qobject_cast<QProgressBar*>(app.Control(ids::kProgress))->value(),
             0);
  }

  void SecondJobIsRefusedSilently() {
    AppFixture app;
    app.Open();
    JobPromptsAdapter prompts(app.prompts);
    QVERIFY(app.job.Prepare(JobOptions{}, prompts));
    app.Click(ids::kRestart);
    app.Click(ids::kReadConfig);
    QVERIFY(app.prompts.asked.empty());
    QVERIFY(!app.job.has_queued_requests());
    app.job.Cancel();
  }

  void QueueGuardHoldsBackPortRadioAndLoad() {
    AppFixture app;
    app.workspace.settings.port_number = 1;
    app.Open(std::nullopt,
             testing::PortsOf({{"COM1", ""}, {"COM3", ""}, {"COM10", ""}}));
    JobPromptsAdapter prompts(app.prompts);
    QVERIFY(app.job.Prepare(JobOptions{}, prompts));
    QVERIFY(app.job.Queue(RequestCode::kStopProgram));
    auto* ports = qobject_cast<QComboBox*>(app.Control(ids::kPortList));
    QTest::keyClick(ports, Qt::Key_Down);
    QCOMPARE(app.workspace.settings.port_number, 1);
    app.Click(ids::kRadioOption);
    QCOMPARE(app.workspace.settings.radio_option, 0);
    app.Click(ids::kLoadFile);
    QCOMPARE(app.prompts.Count(Kind::kOpenFile), 0);
    // Printing option and radio mode act at any time.
    app.Click(ids::kEntriesOnly);
    QCOMPARE(app.workspace.settings.entries_only, 1);
    app.Click(ids::kRadioAll);
    QCOMPARE(app.workspace.link.radio_mode, RadioMode::kAll);
    app.job.Cancel();

    // The list kept showing the ignored choice; the next one counts.
    QCOMPARE(ports->currentIndex(), 1);
    QTest::keyClick(ports, Qt::Key_Down);
    QCOMPARE(app.workspace.settings.port_number, 10);
    // The box showed the ignored click until the refresh.
    QVERIFY(app.Checked(ids::kRadioOption));
    app.window->RefreshMainStatus();
    QVERIFY(!app.Checked(ids::kRadioOption));
    app.Click(ids::kRadioOption);
    QCOMPARE(app.workspace.settings.radio_option, 1);
    QVERIFY(app.job.line_values().radio.enabled);
    QCOMPARE(app.job.line_values().port_number, 10);
  }

  void PortListIsInNumericOrder_data() {
    QTest::addColumn<int>("current_port");
    QTest::addColumn<int>("selected");
    QTest::newRow("remembered port found") << 3 << 1;
    QTest::newRow("remembered port missing") << 5 << -1;
  }
  void PortListIsInNumericOrder() {
    QFETCH(int, current_port);
    QFETCH(int, selected);
    AppFixture app;
    app.workspace.settings.port_number = current_port;
    app.Open(std::nullopt, testing::PortsOf({{"COM3", ""},
                                             {"LPT1", ""},
                                             {"COM10", ""},
                                             {"AUX", ""},
                                             {"COM1", ""},
                                             {"com2", ""},
                                             {"COM", ""}}));
    auto* ports = qobject_cast<QComboBox*>(app.Control(ids::kPortList));
    QCOMPARE(ports->count(), 3);
    QCOMPARE(ports->itemText(0), QStringLiteral("COM1"));
    QCOMPARE(ports->itemText(1), QStringLiteral("COM3"));
    QCOMPARE(ports->itemText(2), QStringLiteral("COM10"));
    QCOMPARE(ports->currentIndex(), selected);
    QCOMPARE(app.workspace.settings.port_number, current_port);
  }

  void TabSwitchRefreshesLeftThenEnteredPage() {
    AppFixture app;
    RecordingPages pages;
    pages.recorded[0] = false;  // the editor's own tab refresh is checked
    app.Open(std::nullopt, PortList{}, false, pages.Factory());
    QStringList log;
    auto visible = [&](int tab) {
      return app.window->PageAt(tab)->isHidden() ? QStringLiteral("hidden")
                                                 : QStringLiteral("shown");
    };
    pages.made[1]->on_refresh = [&] {
      log << "config refresh, config " + visible(1) + ", outputs " + visible(2);
    };
    pages.made[2]->on_refresh = [&] {
      log << "outputs refresh, config " + visible(1) + ", outputs " +
                 visible(2);
    };
    app.window->SelectTab(1);
    QCOMPARE(log, QStringList{"config refresh, config hidden, outputs hidden"});
    QVERIFY(app.window->PageAt(0)->isHidden());
    QVERIFY(!app.window->PageAt(1)->isHidden());
    log.clear();
    app.window->SelectTab(2);
    QCOMPARE(log,
             (QStringList{"config refresh, config shown, outputs hidden",
                          "outputs refresh, config hidden, outputs hidden"}));
    QVERIFY(app.window->PageAt(1)->isHidden());
    QVERIFY(!app.window->PageAt(2)->isHidden());
    // Tab 0 refreshes the main window's own status fields.
    app.workspace.settings.current_segment = 4;
    log.clear();
    app.window->SelectTab(0);
    QCOMPARE(log, QStringList{"outputs refresh, config hidden, outputs shown"});
    QCOMPARE(app.Text(ids::kDownloadSegment), QStringLiteral("Pobierz:4"));
  }

  void EnterAndEscapeLeaveItOpen() {
    AppFixture app;
    app.Open();
    app.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.window.get()));
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
      QTest::keyClick(app.window.get(), key);
      QTest::keyClick(app.Control(ids::kControllerNumber), key);
    }
    QVERIFY(app.window->isVisible());
    QVERIFY(app.prompts.asked.empty());
  }

  void WorkerCallsRunInOrderOnTheWindowThread() {
    AppFixture app;
    app.Open();
    auto* progress = qobject_cast<QProgressBar*>(app.Control(ids::kProgress));
    QStringList seen;
    bool other_thread = false;
    connect(progress, &QProgressBar::valueChanged, [&](int value) {
      other_thread |= QThread::currentThread() != app.window->thread();
      seen << QString::number(value);
    });
    std::thread worker([&app] {
      TransferObserver& observer = app.window->launcher().observer();
      observer.SetProgressRange(3);
      observer.SetStatusLine("Otwarcie portu szeregowego COM1");
      for (int i = 0; i < 3; ++i) observer.StepProgress();
      observer.SetStatusLine("Operacja zakończona pomyślnie.");
      observer.ResetProgress();
      observer.JobFinished(JobOutcome{});
    });
    worker.join();
    // Nothing happens until the window's thread handles its events.
    QCOMPARE(progress->maximum(), 100);
    QVERIFY(seen.isEmpty());
    QSignalSpy finished(app.window.get(), &MainWindow::jobFinished);
    QVERIFY(finished.wait(2000));
    QVERIFY(!other_thread);
    QCOMPARE(seen, (QStringList{"1", "2", "3", "0"}));
    QCOMPARE(progress->maximum(), 3);
    QCOMPARE(app.Text(ids::kStatusLine),
             QStringLiteral("Operacja zakończona pomyślnie."));
  }

  void ErrorReportIsShownOnce() {
    AppFixture app;
    app.Open();
    app.workspace.link.error_report.Store(0, 1, 5, 0x33);
    app.Click(ids::kAbort);  // any command shows a pending report first
    app.Click(ids::kAbort);
    QCOMPARE(app.prompts.asked.size(), std::size_t{1});
    QCOMPARE(app.prompts.asked[0].kind, Kind::kWarning);
    QCOMPARE(app.prompts.asked[0].caption,
             QStringLiteral("Opis błędu sterownika:"));
    QCOMPARE(app.prompts.asked[0].text,
             QStringLiteral("Task:1 Segment:2 Komenda:5:   Zły punkt startowy "
                            "tasku głównego."));
  }

  void LoadFromFileShowsTheProgram() {
    QTemporaryDir dir;
    const std::filesystem::path file =
        std::filesystem::path(dir.path().toStdString()) / "seven.prg";
    {
      ProgramStore other;
      other.SetCommand(0, 0, Command{1, 2, 3});
      other.mutable_image()[kGeneralConfigOffset] = 7;  // controller number
      QVERIFY(SaveProgramFile(other, file));
    }
    AppFixture app;
    app.workspace.settings.current_segment = 5;
    RecordingPages pages;
    app.Open(std::filesystem::path(dir.path().toStdString()) / "Lumera.ini",
             PortList{}, false, pages.Factory());
    // The editor loads its grid and empties its return stack, the
    // configuration page refreshes.
    int editor_loads = 0, config_loads = 0;
    pages.made[0]->on_loaded = [&] { ++editor_loads; };
    pages.made[1]->on_loaded = [&] { ++config_loads; };
    app.prompts.files = {QString::fromStdString(file.string())};
    app.Click(ids::kLoadFile);

    QCOMPARE(app.prompts.asked.size(), std::size_t{1});
    const FileDialogRequest& request = app.prompts.asked[0].file;
    QCOMPARE(request.title, QStringLiteral("Wybór odczytywango pliku:"));
    QCOMPARE(request.filters,
             (QStringList{"Pliki Programów (*.prg)", "All Files (*.*)"}));
    QCOMPARE(request.default_suffix, QStringLiteral("prg"));
    QCOMPARE(request.start_name, QStringLiteral("Prog_001.prg"));

    QVERIFY(app.workspace.store.LoadedFromFile());
    QCOMPARE(app.workspace.store.CommandAt(0, 0), (Command{1, 2, 3}));
    QCOMPARE(app.workspace.config_page.new_controller_number, 7);
    QCOMPARE(app.workspace.settings.current_segment, 1);
    QCOMPARE(app.Text(ids::kFileName), QString::fromStdString(file.string()));
    QCOMPARE(app.Text(ids::kDownloadSegment), QStringLiteral("Pobierz:1"));
    QCOMPARE(editor_loads, 1);
    QCOMPARE(config_loads, 1);
    // The name is in the settings file at once.
    const std::vector<QString> lines = ReadLines(dir.filePath("Lumera.ini"));
    QVERIFY(std::find(lines.begin(), lines.end(),
                      "File=" + QString::fromStdString(file.string())) !=
            lines.end());
    QCOMPARE(app.Text(ids::kStatusLine), MainWindow::BuildStamp());
    // A file shorter than a program loads all the same, and says so.
    const std::filesystem::path short_file = file.parent_path() / "short.prg";
    std::ofstream(short_file) << std::string(100, '\x01');
    app.prompts.files = {QString::fromStdString(short_file.string())};
    app.Click(ids::kLoadFile);
    QCOMPARE(app.workspace.store.CommandAt(0, 0), (Command{1, 1, 1}));
    QCOMPARE(app.Text(ids::kStatusLine),
             QStringLiteral("Plik krótszy niż program (100 z 7714 bajtów)."));
  }

  void FailedLoadKeepsTheChosenName() {
    QTemporaryDir dir;
    AppFixture app;
    app.Open();
    const ProgramImage before = app.workspace.store.image();
    app.prompts.files = {dir.path()};  // a folder is no program file
    app.Click(ids::kLoadFile);
    QCOMPARE(app.prompts.Count(Kind::kWarning), 1);
    QCOMPARE(app.prompts.asked.back().caption,
             QStringLiteral("ODCZYT PLIKU PROGRAMU"));
    QCOMPARE(app.prompts.asked.back().text,
             QStringLiteral("Błąd odczytu pliku !"));
    QVERIFY(app.workspace.store.image() == before);
    QVERIFY(!app.workspace.store.LoadedFromFile());
    QCOMPARE(QString::fromStdString(app.workspace.settings.program_file_name),
             dir.path());
    // Shown at the next refresh, not before.
    QCOMPARE(app.Text(ids::kFileName), QStringLiteral("Prog_001.prg"));
    app.window->RefreshMainStatus();
    QCOMPARE(app.Text(ids::kFileName), dir.path());
  }

  void SaveToFileCommitsTheGridFirst() {
    QTemporaryDir dir;
    AppFixture app;
    RecordingPages pages;
    app.Open(std::nullopt, PortList{}, false, pages.Factory());
    QStringList log;
    RecordingEditor editor;
    app.window->launcher().SetEditor(&editor);
    editor.on_commit = [&] {
      log << "commit";
      app.workspace.store.SetCommand(2, 0, Command{4, 5, 6});
    };
    // The editor empties its return stack after a save.
    pages.made[0]->on_saved = [&] { log << "clear stack"; };
    const QString target = dir.filePath("saved.prg");
    app.prompts.files = {target, std::nullopt};
    app.Click(ids::kSaveFile);
    QCOMPARE(log, (QStringList{"commit", "clear stack"}));
    QCOMPARE(app.prompts.asked[0].caption,
             QStringLiteral("Wybór pliku do zapisu:"));
    QCOMPARE(QFileInfo(target).size(), qint64{7714});
    ProgramStore check;
    QVERIFY(LoadProgramFile(check, target.toStdString()));
    QCOMPARE(check.CommandAt(2, 0), (Command{4, 5, 6}));
    // Cancelled: the stack is cleared all the same.
    log.clear();
    app.Click(ids::kSaveFile);
    QCOMPARE(log, (QStringList{"commit", "clear stack"}));
  }

  void FailedSaveShowsItsMessage() {
    AppFixture app;
    app.Open();
    app.prompts.files = {QStringLiteral("/nonexistent-folder/x.prg")};
    app.Click(ids::kSaveFile);
    QCOMPARE(app.prompts.Count(Kind::kWarning), 1);
    QCOMPARE(app.prompts.asked.back().caption,
             QStringLiteral("ZAPIS PLIKU PROGRAMU"));
    // Which file failed, and why, in the system's own words.
    const QString text = app.prompts.asked.back().text;
    const QString named =
        QStringLiteral("Błąd zapisu pliku !\n/nonexistent-folder/x.prg: ");
    QVERIFY2(text.startsWith(named) && text.size() > named.size(),
             qPrintable(text));
  }

  void CloseAsksOnlyAfterALoad_data() {
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("question");
    QTest::addColumn<bool>("save_dialog");
    QTest::newRow("empty program edited")
        << false << true << true << false << false;
    QTest::newRow("loaded, unchanged")
        << true << false << true << false << false;
    QTest::newRow("loaded, edited, Yes")
        << true << true << true << true << true;
    QTest::newRow("loaded, edited, No")
        << true << true << false << true << false;
  }
  void CloseAsksOnlyAfterALoad() {
    QFETCH(bool, loaded);
    QFETCH(bool, changed);
    QFETCH(bool, answer);
    QFETCH(bool, question);
    QFETCH(bool, save_dialog);
    QTemporaryDir dir;
    const std::filesystem::path folder(dir.path().toStdString());
    AppFixture app;
    if (loaded) {
      QVERIFY(SaveProgramFile(app.workspace.store, folder / "p.prg"));
      QVERIFY(LoadProgramFile(app.workspace.store, folder / "p.prg"));
    }
    app.workspace.store.SetComment(0, 0, "uwaga");
    RecordingPages pages;
    app.Open(folder / "Lumera.ini", PortList{}, false, pages.Factory());
    app.Type(ids::kControllerNumber, "77");
    bool committed = false;
    RecordingEditor editor;
    app.window->launcher().SetEditor(&editor);
    editor.on_commit = [&] {
      committed = true;
      // An edit still in the grid counts as a change.
      if (changed) app.workspace.store.SetCommand(0, 0, Command{1, 1, 1});
    };
    app.prompts.answers = {answer};
    app.window->show();
    QVERIFY(app.window->close());
    QCOMPARE(committed, loaded);
    QCOMPARE(app.prompts.Count(Kind::kYesNo), question ? 1 : 0);
    if (question) {
      QCOMPARE(app.prompts.asked[0].caption,
               QStringLiteral("    Wprowadzono zmiany:"));
      QCOMPARE(app.prompts.asked[0].text, QStringLiteral("Zapisac do pliku ?"));
    }
    QCOMPARE(app.prompts.Count(Kind::kSaveFile), save_dialog ? 1 : 0);
    // The settings are written whatever the answer.
    const std::vector<QString> lines = ReadLines(dir.filePath("Lumera.ini"));
    QCOMPARE(lines.size(), std::size_t{9});
    QCOMPARE(lines[2], QStringLiteral("Device=77"));
    QVERIFY(!app.workspace.store.comments().HasComment(0, 0));
  }

  void CloseDuringAJobEndsAtOnce() {
#ifdef _WIN32
    QSKIP("the line that never answers is a pseudo-terminal (POSIX)");
#else
    QTemporaryDir dir;
    const std::filesystem::path folder(dir.path().toStdString());
    AppFixture app;
    app.Open(folder / "Lumera.ini");
    // A pseudo-terminal that never answers keeps the worker in its read.
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(terminal >= 0);
    QVERIFY(grantpt(terminal) == 0 && unlockpt(terminal) == 0);
    const std::string device = ptsname(terminal);
    PortAccess access;
    access.name = [device](int) { return device; };
    access.timing.read_constant_ms = 1500;
    app.job.SetPortAccess(access);
    QVERIFY(app.workspace.store.LoadedFromFile() == false);
    app.Click(ids::kDownloadSegment);
    QVERIFY(app.job.running());
    app.window->show();
    QVERIFY(app.window->close());
    QVERIFY(!app.job.running());
    QVERIFY(!app.window->isVisible());
    QVERIFY(app.prompts.asked.empty());
    QVERIFY(!QFile::exists(dir.filePath("Lumera.ini")));
    ::close(terminal);
#endif
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::MainWindowTest)
#include "main_window_test.moc"
