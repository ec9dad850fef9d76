// Every control of the main window through the platform accessibility
// interface: its name, its description (the control id) and that a client
// walking the tree from the window reaches it.
#include <QAccessible>
#include <QLabel>
#include <QSet>
#include <QtTest>
#include <map>

#include "app/shell/main_window_ids.h"
#include "app_fixture.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;
using testing::AppFixture;

struct Expected {
  const char* name;
  bool reachable;  // the hidden page marker and the hidden pages are not
};

// Every control that carries an id, as the window shows it after start-up
// on segment 1.
const std::map<int, Expected>& ExpectedControls() {
  static const std::map<int, Expected> table = {
      {ids::kDialog, {"Edytor programu sterownika [AVR 1.0]", true}},
      {ids::kEditorPage, {"Edytor", true}},
      {ids::kConfigPage, {"Konfiguracja", false}},
      {ids::kOutputsPage, {"Wyjścia", false}},
      {ids::kSitePage, {"Obiekt", false}},
      {ids::kTabs, {"      Edytor     ", true}},  // the shown tab
      {ids::kPageArea, {"unvisible", false}},
      {ids::kFileName, {"Plik programu", true}},
      {ids::kLoadFile, {"Z pliku", true}},
      {ids::kSaveFile, {"Do pliku", true}},
      {ids::kPrintSegment, {"Drukuj:1", true}},
      {ids::kPrintAll, {"DRUKUJ", true}},
      {ids::kEntriesOnly, {"Tylko wejścia procedur", true}},
      {ids::kPortList, {"Port szeregowy", true}},
      {ids::kControllerNumber, {"STEROWNIK nr", true}},
      {ids::kControllerHex, {"STEROWNIK nr (szesnastkowo)", true}},
      {ids::kRestart, {"R S T", true}},
      {ids::kDownloadSegment, {"Pobierz:1", true}},
      {ids::kDownloadAll, {"POBIERZ", true}},
      {ids::kUploadSegment, {"Wyślij:1", true}},
      {ids::kUploadAll, {"WYŚLIJ", true}},
      {ids::kVerifySegment, {"? (Wyślij:1)", true}},
      {ids::kVerifyAll, {"? (WYŚLIJ)", true}},
      {ids::kAbort, {"Przerwij", true}},
      {ids::kErrorReport, {"!", true}},
      {ids::kStatusLine, {"Stan transmisji", true}},
      {ids::kProgress, {"Postęp transmisji", true}},
      {ids::kVersion, {"Wersja oprogramowania", true}},
      {ids::kReadConfig, {"Czytaj", true}},
      {ids::kWriteConfig, {"Wyślij", true}},
      {ids::kDefaultConfigOnly, {"Domyślna K", true}},
      {ids::kDefaultConfigProgram, {"Domyślna K+P", true}},
      {ids::kRadioOption, {"Radio", true}},
      {ids::kRadioHigh, {"Adres radiowy: starsza cyfra", true}},
      {ids::kRadioSecond, {"Adres radiowy: druga cyfra", true}},
      {ids::kRadioLow, {"Adres radiowy: młodszy bajt", true}},
      {ids::kRadioPoint, {"Do Punktu Numer", true}},
      {ids::kRadioAll, {"Wszystkie", true}},
      {ids::kTimeByte, {"Czas", true}},
      {ids::kRadioReset, {"Reset", true}},
  };
  return table;
}

bool InsidePage(const QWidget* widget) {
  for (const QWidget* up = widget->parentWidget(); up != nullptr;
       up = up->parentWidget()) {
    if (dynamic_cast<const Page*>(up) != nullptr) return true;
  }
  return false;
}

// Objects a client reaches from `root` by walking the children.
void Walk(QAccessibleInterface* root, QSet<QObject*>& reached, int depth = 0) {
  if (root == nullptr || depth > 20) return;
  reached.insert(root->object());
  for (int i = 0; i < root->childCount(); ++i) {
    Walk(root->child(i), reached, depth + 1);
  }
}

class AccessibilityTest : public QObject {
  Q_OBJECT

 private:
  testing::OwnConfigHome config_home_;

 private slots:
  void EveryControlIsTabled() {
    AppFixture app;
    app.Open();
    QWidgetList controls = app.window->findChildren<QWidget*>();
    controls << app.window.get();
    int with_id = 0;
    for (QWidget* widget : controls) {
      const QVariant id = widget->property("controlId");
      if (!id.isValid() || id.toInt() == ids::kStatic) continue;
      // A page's controls have ids of the page's own, tested with the page.
      if (InsidePage(widget)) continue;
      ++with_id;
      QVERIFY2(ExpectedControls().count(id.toInt()) == 1,
               qPrintable(widget->objectName()));
      // The guards refuse silently; no control is ever greyed out.
      QVERIFY2(widget->isEnabled(), qPrintable(widget->objectName()));
    }
    QCOMPARE(with_id, static_cast<int>(ExpectedControls().size()));
  }

  void NameAndDescriptionThroughTheInterface_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("reachable");
    for (const auto& [id, expected] : ExpectedControls()) {
      QTest::newRow(QByteArray::number(id).constData())
          << id << QString::fromUtf8(expected.name) << expected.reachable;
    }
  }
  void NameAndDescriptionThroughTheInterface() {
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(bool, reachable);
    AppFixture app;
    app.Open();
    app.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.window.get()));
    QWidget* control =
        id == ids::kDialog ? app.window.get() : app.window->Control(id);
    QVERIFY(control != nullptr);
    QAccessibleInterface* access =
        QAccessible::queryAccessibleInterface(control);
    QVERIFY(access != nullptr);
    QCOMPARE(access->text(QAccessible::Name), name);
    if (id == ids::kTabs) {
      // The tab bar's interface tells no description; its tabs are its
      // children, each named by its title.
      QCOMPARE(control->accessibleDescription(), QString::number(id));
      QStringList titles;
      for (int i = 0; i < access->childCount(); ++i) {
        QAccessibleInterface* tab = access->child(i);
        if (tab->role() == QAccessible::PageTab) {
          titles << tab->text(QAccessible::Name);
        }
      }
      QCOMPARE(titles, (QStringList{"      Edytor     ", "   Konfiguracja  ",
                                    "     Wyjścia     ", "      Obiekt     "}));
    } else {
      QCOMPARE(access->text(QAccessible::Description), QString::number(id));
    }
    if (!reachable) return;
    QSet<QObject*> reached;
    Walk(QAccessible::queryAccessibleInterface(app.window.get()), reached);
    QVERIFY(reached.contains(control));
  }

  // The status texts keep their names; what they show is their value and
  // their text (the one a screen reader on Linux reads), and it follows the
  // window's refreshes and the worker's status texts.
  void ShownTextsAreValues() {
    AppFixture app;
    app.workspace.settings.program_file_name = "/tmp/zadanie.prg";
    app.workspace.settings.controller_address = 10;
    app.workspace.status.version_major = 1;
    app.workspace.status.version_minor = 2;
    app.Open();
    app.window->SetStatusLine(QStringLiteral("Operacja zakończona pomyślnie."));
    const std::map<int, QString> shown = {
        {ids::kFileName, QStringLiteral("/tmp/zadanie.prg")},
        {ids::kControllerHex, QStringLiteral("0Ah")},
        {ids::kVersion, QStringLiteral("Wersja: 1.2")},
        {ids::kStatusLine, QStringLiteral("Operacja zakończona pomyślnie.")},
    };
    for (const auto& [id, text] : shown) {
      QAccessibleInterface* access =
          QAccessible::queryAccessibleInterface(app.window->Control(id));
      QVERIFY(access != nullptr);
      QCOMPARE(access->text(QAccessible::Value), text);
      QAccessibleTextInterface* readable = access->textInterface();
      QVERIFY(readable != nullptr);
      QCOMPARE(readable->text(0, readable->characterCount()), text);
      QCOMPARE(access->text(QAccessible::Name),
               QString::fromUtf8(ExpectedControls().at(id).name));
    }
  }

  // Labels and box frames carry their text and no id.
  void StaticsAreNamedByTheirText_data() {
    QTest::addColumn<QString>("object_name");
    QTest::addColumn<QString>("name");
    QTest::newRow("Plik") << "fileBox"
                          << "Plik";
    QTest::newRow("Drukowanie") << "printBox"
                                << "Drukowanie";
    QTest::newRow("Transmisja") << "transferBox"
                                << "Transmisja";
    QTest::newRow("Konfiguracja") << "configBox"
                                  << "Konfiguracja";
    QTest::newRow("Radio") << "radioBox"
                           << "Radio";
    QTest::newRow("Port szeregowy") << "portLabel"
                                    << "Port szeregowy";
    QTest::newRow("STEROWNIK nr") << "controllerNumberLabel"
                                  << "STEROWNIK nr";
    QTest::newRow("Czas") << "timeByteLabel"
                          << "Czas";
  }
  void StaticsAreNamedByTheirText() {
    QFETCH(QString, object_name);
    QFETCH(QString, name);
    AppFixture app;
    app.Open();
    auto* widget = app.window->findChild<QWidget*>(object_name);
    QVERIFY(widget != nullptr);
    QAccessibleInterface* access =
        QAccessible::queryAccessibleInterface(widget);
    QCOMPARE(access->text(QAccessible::Name), name);
    QCOMPARE(access->text(QAccessible::Description), QString());
  }

  // Tab walks the window's boxes in reading order (the page shown has its
  // own controls between the tabs and them): "Plik", "Drukowanie", then
  // "Transmisja" row by row, then "Konfiguracja" and "Radio".
  void KeyboardWalksTheBoxesAsTheyRead() {
    AppFixture app;
    app.Open();
    QList<int> walked;
    QWidget* widget = app.window.get();
    for (int guard = 0; guard < 500; ++guard) {
      widget = widget->nextInFocusChain();
      if (widget == app.window.get()) break;
      const QVariant id = widget->property("controlId");
      if ((widget->focusPolicy() & Qt::TabFocus) && id.isValid() &&
          id.toInt() != ids::kStatic && widget->window() == app.window.get() &&
          !InsidePage(widget)) {
        walked << id.toInt();
      }
    }
    const QList<int> expected = {ids::kTabs,
                                 ids::kLoadFile,
                                 ids::kSaveFile,
                                 ids::kPrintSegment,
                                 ids::kPrintAll,
                                 ids::kEntriesOnly,
                                 ids::kPortList,
                                 ids::kControllerNumber,
                                 ids::kRestart,
                                 ids::kDownloadSegment,
                                 ids::kDownloadAll,
                                 ids::kUploadSegment,
                                 ids::kVerifySegment,
                                 ids::kUploadAll,
                                 ids::kVerifyAll,
                                 ids::kAbort,
                                 ids::kErrorReport,
                                 ids::kReadConfig,
                                 ids::kWriteConfig,
                                 ids::kDefaultConfigOnly,
                                 ids::kDefaultConfigProgram,
                                 ids::kRadioOption,
                                 ids::kRadioReset,
                                 ids::kRadioPoint,
                                 ids::kRadioHigh,
                                 ids::kRadioSecond,
                                 ids::kRadioLow,
                                 ids::kRadioAll,
                                 ids::kTimeByte};
    QCOMPARE(walked, expected);
  }

  // Names that carry the segment follow the editor's segment.
  void SegmentNamesFollowTheSegment() {
    AppFixture app;
    app.Open();
    app.workspace.settings.current_segment = 7;
    app.window->SetSegmentCaptions();
    const std::map<int, QString> names = {
        {ids::kDownloadSegment, QStringLiteral("Pobierz:7")},
        {ids::kUploadSegment, QStringLiteral("Wyślij:7")},
        {ids::kPrintSegment, QStringLiteral("Drukuj:7")},
        {ids::kVerifySegment, QStringLiteral("? (Wyślij:7)")},
    };
    for (const auto& [id, name] : names) {
      QAccessibleInterface* access =
          QAccessible::queryAccessibleInterface(app.window->Control(id));
      QCOMPARE(access->text(QAccessible::Name), name);
    }
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::AccessibilityTest)
#include "accessibility_test.moc"
