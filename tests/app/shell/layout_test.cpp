// What a person sees of the main window: texts that must fit, and boxes a
// long text must not push apart.
#include <QHelpEvent>
#include <QToolTip>
#include <QtTest>

#include "app/shell/main_window_ids.h"
#include "app_fixture.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;
using testing::AppFixture;

class LayoutTest : public QObject {
  Q_OBJECT

 private:
  testing::OwnConfigHome config_home_;

 private slots:
  void StatusLineShowsWholeTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("send") << "Nadawanie przez COM200 do sterownika nr 255 ...";
    QTest::newRow("receive") << "Odbiór przez COM200 ze sterownika nr 255 ...";
    QTest::newRow("defaults") << "* ZAPIS KONFIGURACJI DO EEPROM - POCZEKAJ! *";
    QTest::newRow("restart") << "  *** RESTART STEROWNIKA - POCZEKAJ! ***";
    QTest::newRow("verify") << "Błąd weryfikacji: 10/255= [4E.FF.FF] hex";
    QTest::newRow("short reply") << "Błąd odczytu pakietu: pakiet za krótki !";
  }
  void StatusLineShowsWholeTexts() {
    QFETCH(QString, text);
    AppFixture app;
    app.Open();
    app.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.window.get()));
    // Also when the window is made as small as it goes.
    app.window->resize(app.window->minimumSizeHint());
    QTRY_COMPARE(app.window->size(), app.window->minimumSizeHint());
    app.window->SetStatusLine(text);
    auto* line = qobject_cast<QLabel*>(app.Control(ids::kStatusLine));
    QVERIFY(line->fontMetrics().horizontalAdvance(text) <=
            line->contentsRect().width());
  }

  // A long path in the file box does not widen the window; the whole path
  // is still the box's text.
  void LongFileNameKeepsTheLayout() {
    AppFixture short_name;
    short_name.workspace.settings.program_file_name = "prog_001.prg";
    short_name.Open();
    AppFixture long_name;
    const std::string path =
        "/home/operator/projekty/sterowniki/hala_produkcyjna_numer_dwa/"
        "linia_montazowa/program_glowny_wersja_ostateczna.prg";
    long_name.workspace.settings.program_file_name = path;
    long_name.Open();
    QCOMPARE(long_name.Text(ids::kFileName), QString::fromStdString(path));
    QCOMPARE(long_name.Control(ids::kFileName)->sizeHint(),
             short_name.Control(ids::kFileName)->sizeHint());
    QCOMPARE(long_name.window->minimumSizeHint(),
             short_name.window->minimumSizeHint());

    // The whole path, for the one who wants to read its start.
    long_name.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(long_name.window.get()));
    QWidget* box = long_name.Control(ids::kFileName);
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5),
                    box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box, &help);
    QTRY_COMPARE(QToolTip::text(), QString::fromStdString(path));
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::LayoutTest)
#include "layout_test.moc"
