// The site page: a site file opened, kept from one run to the next, edited
// in the lines table and saved back; the installation table's states.
#include "app/pages/site/site_page.h"

#include <QAccessible>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "app/pages/default_pages.h"
#include "app/pages/site/site_lines_model.h"
#include "app/pages/site/site_page_ids.h"
#include "app/pages/site/site_table_model.h"
#include "app/shell/startup.h"
#include "app/widgets/qt_text.h"
#include "app_fixture.h"
#include "core/shell/profile_file.h"
#include "core/shell/settings_file.h"
#include "core/site/file/site_file.h"

namespace lumera {
namespace {

namespace ids = site_page_ids;
using testing::AppFixture;

// Files as a technician writes them: comments before, between and inside
// the lines, ranges, own programs and radio targets.
constexpr char kHall[] =
    "# Hall A and B\n"
    "[line hala-a]\n"
    "port = tcp:192.0.2.10:4001\n"
    "controllers = 1-3, 20\n"
    "program = a.prg\n"
    "# the pump has its own\n"
    "program.2 = b.prg\n"
    "\n"
    "# Hall B, through the radio\n"
    "[line hala-b]\n"
    "port = COM7\n"
    "radio = point\n"
    "controllers = 3, 5\n"
    "target.3 = 15,15,16\n"
    "target.5 = 15,15,32\n";

struct SitePageTest : QObject {
  Q_OBJECT

 private:
  testing::OwnConfigHome config_home_;
  QTemporaryDir dir_;

  std::filesystem::path Path(const char* name) const {
    return std::filesystem::path(dir_.filePath(name).toStdString());
  }
  void Write(const char* name, const QByteArray& bytes) {
    QFile file(dir_.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray Read(const char* name) const {
    QFile file(dir_.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  static SitePage* Page(AppFixture& app) {
    return dynamic_cast<SitePage*>(app.window->PageAt(kSiteTabIndex));
  }
  static void Click(AppFixture& app, int id) {
    QTest::mouseClick(qobject_cast<QAbstractButton*>(Page(app)->Control(id)),
                      Qt::LeftButton);
  }
  void OpenWindow(AppFixture& app) {
    app.Open(Path("Lumera.ini"), testing::PortsOf({{"COM3", "/dev/ttyUSB2"}}));
    app.window->show();
    app.window->SelectTab(kSiteTabIndex);
  }
  // Types into a cell of the lines table as a user does, and leaves it.
  static void TypeCell(AppFixture& app, int row, SiteCell cell,
                       const QString& text) {
    qobject_cast<QTabWidget*>(Page(app)->Control(ids::kViews))
        ->setCurrentIndex(1);
    auto* view = qobject_cast<QTableView*>(Page(app)->Control(ids::kLines));
    const QModelIndex index = view->model()->index(row, static_cast<int>(cell));
    view->setCurrentIndex(index);
    view->edit(index);
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The view takes what was typed on its next turn of the event loop, and
    // the editor goes.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  static QStringList Faults(AppFixture& app) {
    auto* list = qobject_cast<QListWidget*>(Page(app)->Control(ids::kFaults));
    QStringList faults;
    for (int i = 0; !list->isHidden() && i < list->count(); ++i) {
      faults << list->item(i)->text();
    }
    return faults;
  }
  QString Remembered() const {
    return QString::fromStdString(
        GetProfileString(Path("Lumera.ini"), kSiteSection, "File", "", 4096));
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    Write("a.prg", "program a");
    Write("b.prg", "program b");
  }

  void FaultsShowWithTheirLinesAndOpenNothing() {
    Write("hala.site", kHall);
    Write("zly.site",
          "[line a]\nport = COM1\ncontrollers = 0-3\nbaud = 9600\n");
    AppFixture app;
    OpenWindow(app);
    app.prompts.files = {dir_.filePath("hala.site"), dir_.filePath("zly.site")};
    Click(app, ids::kOpen);
    Click(app, ids::kOpen);
    const QString bad = dir_.filePath("zly.site");
    QCOMPARE(Faults(app),
             (QStringList{bad + ":3: numer sterownika poza 1..254: \"0-3\"",
                          bad + ":4: nieznany klucz \"baud\""}));
    // The site open before stays as it was, and so does the one remembered.
    QCOMPARE(Page(app)->site_path(), Path("hala.site"));
    QCOMPARE(Page(app)->installation().rowCount(), 6);
    QCOMPARE(Remembered(), dir_.filePath("hala.site"));
  }

  // The site opened last is there at the next start; --site names another.
  void RemembersTheSiteAndStartsWithTheOneNamed() {
    Write("hala.site", kHall);
    Write("inna.site", "[line x]\nport = COM2\ncontrollers = 4\n");
    {
      AppFixture app;
      OpenWindow(app);
      app.prompts.files = {dir_.filePath("hala.site")};
      Click(app, ids::kOpen);
    }
    QCOMPARE(Remembered(), dir_.filePath("hala.site"));
    const struct {
      std::optional<std::string> site_option;
      std::filesystem::path shown;
      int rows;
    } kStarts[] = {{std::nullopt, Path("hala.site"), 6},
                   {Path("inna.site").string(), Path("inna.site"), 1},
                   // The last one opened, not the one of the start before.
                   {std::nullopt, Path("inna.site"), 1}};
    for (const auto& start : kStarts) {
      AppFixture app;
      const StartupResult started =
          StartUp(app.workspace, "", Path("Lumera.ini"), start.site_option);
      QCOMPARE(started.site_option, start.site_option.has_value());
      OpenWindow(app);
      QCOMPARE(Page(app)->site_path(), start.shown);
      QCOMPARE(Page(app)->installation().rowCount(), start.rows);
    }
  }

  // A cell typed anew rewrites its own lines and nothing else.
  void SavedByThePageReadsBackAsTheSameSite_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("cell");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("lines_before");
    QTest::addColumn<QByteArray>("lines_after");
    QTest::newRow("CR LF, no spaces, an own program kept as written")
        << QByteArray(
               "[line a]\r\nport=COM1\r\ncontrollers=7,1-2\r\n"
               "program.02=b.prg\r\n#end")
        << 0 << int(SiteCell::kPrograms) << "a.prg; 02=b.prg"
        << QByteArray("program.02=b.prg\r\n")
        << QByteArray("program.02=b.prg\r\nprogram = a.prg\r\n");
    QTest::newRow("comments, ranges, own program; the second line's targets")
        << QByteArray(kHall) << 1 << int(SiteCell::kTargets)
        << "3=15,15,16; 5=1,2,3" << QByteArray("target.5 = 15,15,32\n")
        << QByteArray("target.5 = 1,2,3\n");
  }
  void SavedByThePageReadsBackAsTheSameSite() {
    QFETCH(QByteArray, file);
    QFETCH(int, row);
    QFETCH(int, cell);
    QFETCH(QString, typed);
    QFETCH(QByteArray, lines_before);
    QFETCH(QByteArray, lines_after);
    Write("hala.site", file);
    AppFixture app;
    OpenWindow(app);
    app.prompts.files = {dir_.filePath("hala.site")};
    Click(app, ids::kOpen);
    // Unchanged, a save gives back the file as it was.
    Click(app, ids::kSave);
    QCOMPARE(Read("hala.site"), file);

    TypeCell(app, row, static_cast<SiteCell>(cell), typed);
    QVERIFY(Page(app)->lines().changed());
    Click(app, ids::kSave);
    QByteArray expected = file;
    expected.replace(lines_before, lines_after);
    QCOMPARE(Read("hala.site"), expected);
    QVERIFY(!Page(app)->lines().changed());
    QVERIFY(LoadSiteFile(Path("hala.site"), false).site);
  }

  // What would not read back is not written: its faults point at the rows,
  // and the window's close asks before dropping the changes.
  void NewSiteAndWhatCannotBeSaved() {
    AppFixture app;
    OpenWindow(app);
    app.prompts.files = {dir_.filePath("nowy.site"), dir_.filePath("a.prg")};
    Click(app, ids::kNew);
    Click(app, ids::kProgram);
    TypeCell(app, 0, SiteCell::kTargets, QStringLiteral("15,15,16"));
    QCOMPARE(app.prompts.asked.back().text,
             QStringLiteral("Nie zmieniono: oczekiwano NUMER=H,M,L: "
                            "\"15,15,16\"."));
    TypeCell(app, 0, SiteCell::kControllers, QStringLiteral("1, 255"));
    Click(app, ids::kSave);
    QCOMPARE(Faults(app), QStringList{"Wiersz 1 (linia-1): numer sterownika "
                                      "poza 1..254: \"255\""});
    QVERIFY(!QFile::exists(dir_.filePath("nowy.site")));

    TypeCell(app, 0, SiteCell::kControllers, QStringLiteral("1-2"));
    Click(app, ids::kSave);
    QCOMPARE(Faults(app), QStringList());
    QCOMPARE(Read("nowy.site"),
             QByteArray("[line linia-1]\nport = COM3\ncontrollers = 1-2\n"
                        "program = a.prg\n"));
    QCOMPARE(Page(app)->installation().rowCount(), 2);

    // A close whose save fails keeps the window and what was typed.
    TypeCell(app, 0, SiteCell::kControllers, QStringLiteral("1, 255"));
    app.prompts.answers = {true};
    QVERIFY(!app.window->close());
    QVERIFY(app.window->isVisible());
    QCOMPARE(Faults(app).size(), 1);

    TypeCell(app, 0, SiteCell::kControllers, QStringLiteral("1-2"));
    TypeCell(app, 0, SiteCell::kPort, QStringLiteral("tcp:10.0.0.9:4001"));
    app.prompts.answers = {false};
    QVERIFY(app.window->close());
    QCOMPARE(app.prompts.asked.back().text,
             QStringLiteral("Zapisać zmiany w pliku obiektu %1?")
                 .arg(dir_.filePath("nowy.site")));
    QVERIFY(!Read("nowy.site").contains("tcp:"));
  }

  // Every state a person reads has its words beside its colour, and the
  // ones that call for different acts differ in colour.
  void StatesShowTextBesideColour() {
    SiteTableModel model;
    std::vector<SiteInstallationRow> states(6);
    states[1].running = true;
    states[2].outcome = SiteOutcome::kVerified;
    states[3].outcome = SiteOutcome::kAbsent;
    states[4].outcome = SiteOutcome::kFailed;
    states[5].outcome = SiteOutcome::kDiffers;
    model.SetRows(states);
    const QStringList texts = {"",          "w toku", "zweryfikowany",
                               "nieobecny", "błąd",   "różnice"};
    QSet<QRgb> colours;
    for (int row = 0; row < model.rowCount(); ++row) {
      const QModelIndex cell =
          model.index(row, static_cast<int>(SiteColumn::kState));
      QCOMPARE(cell.data().toString(), texts[row]);
      QCOMPARE(cell.data(Qt::DecorationRole).isValid(), row > 0);
      if (row > 0) colours.insert(SiteStateColour(model.rows()[row]).rgb());
    }
    QCOMPARE(colours.size(), 5);
  }

  // Events as the runner gives them, one a text: "plan a/1 b/1",
  // "begun a/1", "ended a/1=OUTCOME [VERSION [OFFSET]]", and "end a/1=OUTCOME
  // ..." (the run's rows at its end, whatever its events said); each row
  // as "line/controller state version offset".
  void RunEventsChangeOnlyTheirRows_data() {
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("status: version and clock; the next still waits")
        << QStringList{"plan a/1 a/2 b/1", "begun a/1", "ended a/1=ok 1.2 3",
                       "begun a/2", "ended a/2=nieobecny"}
        << QStringList{"a/1 ok 1.2 +3 s", "a/2 nieobecny", "b/1 oczekuje"};
    QTest::newRow("one number on two lines is two rows")
        << QStringList{"plan b/1", "begun b/1"}
        << QStringList{"a/1", "a/2", "b/1 w toku"};
    QTest::newRow("what a later run does not read stays")
        << QStringList{"ended a/1=ok 1.2 -2", "plan a/1", "begun a/1",
                       "ended a/1=zweryfikowany 1.3"}
        << QStringList{"a/1 zweryfikowany 1.3 -2 s", "a/2", "b/1"};
    QTest::newRow("the end's rows stand for events that did not come")
        << QStringList{"plan a/1 a/2", "begun a/1",
                       "end a/1=błąd a/2=pominięty"}
        << QStringList{"a/1 błąd", "a/2 pominięty", "b/1"};
  }
  void RunEventsChangeOnlyTheirRows() {
    QFETCH(QStringList, events);
    QFETCH(QStringList, rows);
    SiteTableModel model;
    std::vector<SiteInstallationRow> site(3);
    for (const auto& [index, line, controller] :
         {std::tuple{0, "a", 1}, {1, "a", 2}, {2, "b", 1}}) {
      site[index].line = line;
      site[index].controller = controller;
    }
    model.SetRows(site);
    const auto row_of = [](const QString& key) {
      SiteRow row;
      row.line = key.section('/', 0, 0).toStdString();
      row.controller = key.section('/', 1).section('=', 0, 0).toInt();
      for (int o = 0; o <= static_cast<int>(SiteOutcome::kSkipped); ++o) {
        const auto outcome = static_cast<SiteOutcome>(o);
        if (key.section('=', 1) == ToQString(SiteOutcomeText(outcome))) {
          row.outcome = outcome;
        }
      }
      return row;
    };
    for (const QString& event : events) {
      const QStringList words = event.split(' ');
      std::vector<SiteRow> named;
      for (const QString& key : words.mid(1)) named.push_back(row_of(key));
      if (words[0] == "plan") {
        std::vector<SitePlanLine> plan;
        for (const SiteRow& row : named) {
          if (plan.empty() || plan.back().name != row.line) {
            plan.push_back({row.line, "COM1", {}});
          }
          plan.back().controllers.emplace_back().number = row.controller;
        }
        model.Planned(plan);
      } else if (words[0] == "begun") {
        model.Begun(named[0].line, named[0].controller);
      } else if (words[0] == "ended") {
        if (words.size() > 2) named[0].version = words[2].toStdString();
        if (words.size() > 3) named[0].clock_offset_seconds = words[3].toInt();
        model.Ended(named[0]);
      } else {
        model.RunEnded(named);
      }
    }
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
      QStringList cells;
      for (const SiteColumn column :
           {SiteColumn::kLine, SiteColumn::kState, SiteColumn::kVersion,
            SiteColumn::kClockOffset}) {
        cells << model.index(row, static_cast<int>(column)).data().toString();
      }
      cells[0] += '/' + model.index(row, 1).data().toString();
      cells.removeAll(QString());
      shown << cells.join(' ');
    }
    QCOMPARE(shown, rows);
  }

  // Without a site the jobs wait; a screen reader names every control of
  // the page.
  void ControlsAreNamedAndJobsWait() {
    AppFixture app;
    OpenWindow(app);
    for (const int id : ids::kJobButtons) {
      QVERIFY(!Page(app)->Control(id)->isEnabled());
    }
    const auto widgets = Page(app)->findChildren<QWidget*>();
    int named = 0;
    for (QWidget* widget : widgets) {
      const int id = widget->property("controlId").toInt();
      if (id <= 0) continue;
      QAccessibleInterface* access =
          QAccessible::queryAccessibleInterface(widget);
      QVERIFY2(!access->text(QAccessible::Name).isEmpty(),
               qPrintable(widget->objectName()));
      QCOMPARE(access->text(QAccessible::Description), QString::number(id));
      ++named;
    }
    QCOMPARE(named, 24);
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::SitePageTest)
#include "site_page_test.moc"
