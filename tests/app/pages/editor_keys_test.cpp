// The editor page's undo and clipboard keys, through real key events and
// the platform's clipboard: what reaches the grid, the store and the status
// line, what is refused, and when the undo steps are emptied.
#include <QClipboard>
#include <QMimeData>
#include <QTableView>
#include <QtTest>

#include "app/pages/editor/command_grid_view.h"
#include "app/pages/editor/editor_page.h"
#include "app/pages/editor/editor_page_ids.h"
#include "app/shell/main_window_ids.h"
#include "app_fixture.h"
#include "core/editor/clipboard_rows.h"

namespace lumera {
namespace {

namespace ids = editor_page_ids;
namespace main_ids = main_window_ids;
using testing::AppFixture;

const QString kA = QStringLiteral("01,01,05");
const QString kB = QStringLiteral("1B,02,03");
const QString kC = QStringLiteral("02,04,09");

struct Page {
  AppFixture app;
  CommandGridView* grid = nullptr;
  EditorPage* page = nullptr;

  Page() {
    ProgramStore& store = app.workspace.store;
    store.SetCommand(0, 0, Command{1, 1, 5});
    store.SetCommand(0, 1, Command{27, 2, 3});
    store.SetCommand(0, 2, Command{2, 4, 9});
    store.comments().Set(0, 0, "pierwszy");
    store.comments().Set(0, 1, "drugi");
    store.SetCommand(2, 0, Command{2, 1, 1});
    app.Open();
    app.window->show();
    app.window->activateWindow();
    page = dynamic_cast<EditorPage*>(app.window->PageAt(0));
    grid = qobject_cast<CommandGridView*>(page->Control(ids::kCommandGrid));
  }
  bool Ready() const {
    return page != nullptr && grid != nullptr &&
           QTest::qWaitForWindowActive(app.window.get());
  }
  void FocusGridAt(int row) {
    grid->setFocus();
    grid->SetCurrentCell(row, kCommandColumn);
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }
  bool Enabled(int id) const { return page->Control(id)->isEnabled(); }
  QStringList Hex() const {
    QStringList hex;
    for (int row = 0; row < grid->RowCount(); ++row) {
      hex << QString::fromStdString(grid->CellText(row, kHexColumn));
    }
    return hex;
  }
  QStringList StoredHex() const {
    QStringList hex;
    const ProgramStore& store = app.workspace.store;
    for (int command = 0; command < store.CommandListLength(0); ++command) {
      const Command c = store.CommandAt(0, command);
      hex << QStringLiteral("%1,%2,%3")
                 .arg(c.code, 2, 16, QLatin1Char('0'))
                 .arg(c.param1, 2, 16, QLatin1Char('0'))
                 .arg(c.param2, 2, 16, QLatin1Char('0'))
                 .toUpper();
    }
    return hex;
  }
  QStringList StoredComments() const {
    QStringList comments;
    for (int command = 0; command < app.workspace.store.CommandListLength(0);
         ++command) {
      comments << QString::fromStdString(
          std::string(app.workspace.store.comments().Text(0, command)));
    }
    return comments;
  }
};

class EditorKeysTest : public QObject {
  Q_OBJECT

 private:
  testing::OwnConfigHome config_home_;

 private slots:
  // Both redo keys; the buttons' state follows each step.
  void UndoAndRedoKeys_data() {
    QTest::addColumn<int>("redo_key");
    QTest::addColumn<int>("redo_modifiers");
    QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+Shift+Z")
        << int(Qt::Key_Z) << int(Qt::ControlModifier | Qt::ShiftModifier);
  }
  void UndoAndRedoKeys() {
    QFETCH(int, redo_key);
    QFETCH(int, redo_modifiers);
    Page p;
    QVERIFY(p.Ready());
    QVERIFY(!p.Enabled(ids::kUndo));
    QVERIFY(!p.Enabled(ids::kRedo));
    p.FocusGridAt(0);
    QTest::mouseClick(
        qobject_cast<QAbstractButton*>(p.page->Control(ids::kAppend)),
        Qt::LeftButton);
    const QStringList appended{kA, kB, kC, kA};
    QCOMPARE(p.Hex(), appended);
    QVERIFY(p.Enabled(ids::kUndo));
    QVERIFY(!p.Enabled(ids::kRedo));

    p.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.Hex(), (QStringList{kA, kB, kC}));
    QCOMPARE(p.StoredHex(), (QStringList{kA, kB, kC}));
    QVERIFY(!p.Enabled(ids::kUndo));
    QVERIFY(p.Enabled(ids::kRedo));

    p.Key(static_cast<Qt::Key>(redo_key),
          Qt::KeyboardModifiers(redo_modifiers));
    QCOMPARE(p.Hex(), appended);
    QCOMPARE(p.StoredHex(), appended);
    QVERIFY(p.Enabled(ids::kUndo));
    QVERIFY(!p.Enabled(ids::kRedo));
  }

  // Rows copied from the grid (our own type) and text from elsewhere both go
  // in before the current row with their comments; the status line counts
  // them and one undo takes the paste back.
  void PasteInsertsBeforeTheCurrentRow_data() {
    QTest::addColumn<bool>("from_grid");
    QTest::newRow("Ctrl+C of two rows") << true;
    QTest::newRow("text from elsewhere") << false;
  }
  void PasteInsertsBeforeTheCurrentRow() {
    QFETCH(bool, from_grid);
    Page p;
    QVERIFY(p.Ready());
    p.FocusGridAt(0);
    if (from_grid) {
      p.Key(Qt::Key_Down, Qt::ShiftModifier);
      p.Key(Qt::Key_C, Qt::ControlModifier);
      const QMimeData* data = QGuiApplication::clipboard()->mimeData();
      QVERIFY(data->hasFormat(
          QString::fromLatin1(kRowsMimeType.data(), kRowsMimeType.size())));
      QCOMPARE(data->text(), QStringLiteral("01,01,05\tpierwszy\n"
                                            "1B,02,03\tdrugi\n"));
    } else {
      QGuiApplication::clipboard()->setText(
          QStringLiteral("01,01,05\tpierwszy\r\n1B,02,03\tdrugi"));
    }
    QCOMPARE(p.Hex(), (QStringList{kA, kB, kC}));  // a copy changes nothing

    p.FocusGridAt(2);
    p.Key(Qt::Key_V, Qt::ControlModifier);
    const QStringList pasted{kA, kB, kA, kB, kC};
    QCOMPARE(p.Hex(), pasted);
    QCOMPARE(p.StoredHex(), pasted);
    QCOMPARE(p.StoredComments(),
             (QStringList{QStringLiteral("pierwszy"), QStringLiteral("drugi"),
                          QStringLiteral("pierwszy"), QStringLiteral("drugi"),
                          QString()}));
    QCOMPARE(p.grid->CellText(3, kCommentColumn), std::string("drugi"));
    QCOMPARE(p.app.Text(main_ids::kStatusLine),
             QStringLiteral("Wklejono wierszy: 2."));

    p.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.Hex(), (QStringList{kA, kB, kC}));
    QCOMPARE(p.StoredHex(), (QStringList{kA, kB, kC}));
  }

  // One line that does not read refuses the whole text, naming the line.
  void BadTextIsRefusedWhole() {
    Page p;
    QVERIFY(p.Ready());
    const QString status = p.app.Text(main_ids::kStatusLine);
    QGuiApplication::clipboard()->setText(
        QStringLiteral("01,01,05\tdobry\nto nie rozkaz\n02,01,01\n"));
    p.FocusGridAt(1);
    p.Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(p.app.prompts.asked.size(), std::size_t{1});
    QCOMPARE(p.app.prompts.asked[0].kind,
             testing::PromptRecord::Kind::kWarning);
    QCOMPARE(p.app.prompts.asked[0].caption, QStringLiteral("INFO"));
    QVERIFY2(p.app.prompts.asked[0].text.contains(QStringLiteral("wiersz 2")),
             qPrintable(p.app.prompts.asked[0].text));
    QCOMPARE(p.Hex(), (QStringList{kA, kB, kC}));
    QCOMPARE(p.StoredHex(), (QStringList{kA, kB, kC}));
    QCOMPARE(p.app.Text(main_ids::kStatusLine), status);
    QVERIFY(!p.Enabled(ids::kUndo));
  }

  // Shift+Down makes a block of two rows; Ctrl+X takes both out of the grid
  // and the store and puts them on the clipboard.
  void ShiftDownThenCutRemovesBothRows() {
    Page p;
    QVERIFY(p.Ready());
    p.FocusGridAt(0);
    p.Key(Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(p.grid->SelectedRows(), (std::pair{0, 2}));
    QCOMPARE(p.grid->CurrentRow(), 1);
    p.Key(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(p.Hex(), (QStringList{kC}));
    QCOMPARE(p.StoredHex(), (QStringList{kC}));
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("01,01,05\tpierwszy\n1B,02,03\tdrugi\n"));
    QVERIFY(p.Enabled(ids::kUndo));
  }

  // Ctrl+V belongs to the grid alone: in an open cell editor it pastes
  // the text into the cell, on another control of the page it does nothing.
  void PasteKeyOnlyOnTheGrid_data() {
    QTest::addColumn<bool>("cell_editor");
    QTest::newRow("open cell editor") << true;
    QTest::newRow("Dopisz  + button") << false;
  }
  void PasteKeyOnlyOnTheGrid() {
    QFETCH(bool, cell_editor);
    Page p;
    QVERIFY(p.Ready());
    QGuiApplication::clipboard()->setText(QStringLiteral("02,01,01"));
    p.FocusGridAt(2);
    if (cell_editor) {
      p.grid->SetCurrentCell(2, kCommentColumn);
      p.grid->edit(p.grid->currentIndex());
    } else {
      p.page->Control(ids::kAppend)->setFocus();
    }
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus != nullptr && focus != p.grid);
    QTest::keyClick(focus, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(p.Hex(), (QStringList{kA, kB, kC}));
    if (cell_editor) {
      QCOMPARE(focus->property("text").toString(), QStringLiteral("02,01,01"));
    }
  }

  // The command drop-down of a cell has no undo of its own: Ctrl+Z there
  // leaves the rows under it alone.
  void UndoKeyWaitsForAnOpenDropDown() {
    Page p;
    QVERIFY(p.Ready());
    p.FocusGridAt(0);
    QTest::mouseClick(
        qobject_cast<QAbstractButton*>(p.page->Control(ids::kAppend)),
        Qt::LeftButton);
    p.grid->SetCurrentCell(0, kCommandColumn);
    p.grid->edit(p.grid->currentIndex());
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus != nullptr && focus != p.grid);
    QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.Hex(), (QStringList{kA, kB, kC, kA}));
    QVERIFY(p.Enabled(ids::kUndo));
  }

  // A download or a loaded file empties the steps it replaces; a job that
  // reads no program keeps them.
  void ReplacingTheProgramEmptiesTheSteps_data() {
    QTest::addColumn<int>("button");  // main window's; 0: a file is loaded
    QTest::addColumn<bool>("segment1_kept");
    QTest::addColumn<bool>("segment3_kept");
    QTest::newRow("Pobierz wszystko")
        << main_ids::kDownloadAll << false << false;
    QTest::newRow("Pobierz segment")
        << main_ids::kDownloadSegment << false << true;
    QTest::newRow("program file") << 0 << false << false;
    QTest::newRow("configuration read")
        << main_ids::kReadConfig << true << true;
  }
  void ReplacingTheProgramEmptiesTheSteps() {
    QFETCH(int, button);
    QFETCH(bool, segment1_kept);
    QFETCH(bool, segment3_kept);
    Page p;
    QVERIFY(p.Ready());
    auto append_in = [&](int segment) {
      p.page->editor().ChooseSegment(segment);
      p.FocusGridAt(0);
      QTest::mouseClick(
          qobject_cast<QAbstractButton*>(p.page->Control(ids::kAppend)),
          Qt::LeftButton);
    };
    append_in(3);
    append_in(1);
    QVERIFY(p.Enabled(ids::kUndo));
    if (button == 0) {
      p.page->ProgramLoaded();
    } else {
      QSignalSpy finished(&p.app.window->launcher().events(),
                          &WorkerEvents::jobFinished);
      p.app.Click(button);
      QVERIFY(finished.wait(5000));
    }
    QCOMPARE(p.page->editor().CanUndo(), segment1_kept);
    QCOMPARE(p.Enabled(ids::kUndo), segment1_kept);
    QCOMPARE(p.page->editor().History(3).CanUndo(), segment3_kept);
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::EditorKeysTest)
#include "editor_keys_test.moc"
