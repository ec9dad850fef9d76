// The editor page's undo and clipboard keys, through real key events and
// the platform's clipboard: what reaches the grid, the store and the status
// line, what is refused, and when the undo steps are emptied.
#include <QClipboard>
#include <QMimeData>
#include <QtTest>

#include "app/shell/main_window_ids.h"
#include "pages/editor_page_fixture.h"

namespace lumera {
namespace {

namespace ids = editor_page_ids;
namespace main_ids = main_window_ids;
using Page = testing::EditorPageFixture;
using testing::kRowA;
using testing::kRowB;
using testing::kRowC;

const QString kTwoRows =
    QStringLiteral("01,01,05\tpierwszy\n1B,02,03\tdrugi\n");

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
    p.FocusGridAt(0);
    p.Click(ids::kAppend);
    const QStringList appended{kRowA, kRowB, kRowC, kRowA};
    QVERIFY(p.Enabled(ids::kUndo) && !p.Enabled(ids::kRedo));

    p.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.Hex(), (QStringList{kRowA, kRowB, kRowC}));
    QCOMPARE(p.StoredHex(), (QStringList{kRowA, kRowB, kRowC}));
    QVERIFY(!p.Enabled(ids::kUndo) && p.Enabled(ids::kRedo));

    p.Key(static_cast<Qt::Key>(redo_key),
          Qt::KeyboardModifiers(redo_modifiers));
    QCOMPARE(p.Hex(), appended);
    QCOMPARE(p.StoredHex(), appended);
    QVERIFY(p.Enabled(ids::kUndo) && !p.Enabled(ids::kRedo));
  }

  // Ctrl+V before row 3: rows copied from the grid (our own type, and text)
  // and text from elsewhere go in with their comments, counted on the status
  // line; a text with a line that does not read is refused whole, naming the
  // line, and nothing changes.
  void PasteBeforeTheCurrentRow_data() {
    QTest::addColumn<QString>("text");  // empty: Ctrl+C of rows 1 and 2
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("warning");
    const QStringList pasted{kRowA, kRowB, kRowA, kRowB, kRowC};
    QTest::newRow("Ctrl+C of two rows") << QString() << pasted << QString();
    QTest::newRow("text from elsewhere")
        << QStringLiteral("01,01,05\tpierwszy\r\n1B,02,03\tdrugi") << pasted
        << QString();
    QTest::newRow("line 2 does not read")
        << QStringLiteral("01,01,05\tdobry\nto nie rozkaz\n02,01,01\n")
        << QStringList{kRowA, kRowB, kRowC} << QStringLiteral("wiersz 2");
  }
  void PasteBeforeTheCurrentRow() {
    QFETCH(QString, text);
    QFETCH(QStringList, rows);
    QFETCH(QString, warning);
    Page p;
    QVERIFY(p.Ready());
    const QString status = p.app.Text(main_ids::kStatusLine);
    p.FocusGridAt(0);
    if (text.isEmpty()) {
      p.Key(Qt::Key_Down, Qt::ShiftModifier);
      p.Key(Qt::Key_C, Qt::ControlModifier);
      const QMimeData* data = QGuiApplication::clipboard()->mimeData();
      QVERIFY(data->hasFormat(QStringLiteral("application/x-lumera-rows")));
      QCOMPARE(data->text(), kTwoRows);
    } else {
      QGuiApplication::clipboard()->setText(text);
    }
    p.FocusGridAt(2);
    p.Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(p.Hex(), rows);
    QCOMPARE(p.StoredHex(), rows);
    if (!warning.isEmpty()) {
      QCOMPARE(p.app.prompts.asked.size(), std::size_t{1});
      QCOMPARE(p.app.prompts.asked[0].caption, QStringLiteral("INFO"));
      QVERIFY2(p.app.prompts.asked[0].text.contains(warning),
               qPrintable(p.app.prompts.asked[0].text));
      QCOMPARE(p.app.Text(main_ids::kStatusLine), status);
      QVERIFY(!p.Enabled(ids::kUndo));
      return;
    }
    QCOMPARE(p.StoredComment(2), QStringLiteral("pierwszy"));
    QCOMPARE(p.StoredComment(3), QStringLiteral("drugi"));
    QCOMPARE(p.Cell(3, kCommentColumn), QStringLiteral("drugi"));
    QCOMPARE(p.app.Text(main_ids::kStatusLine),
             QStringLiteral("Wklejono wierszy: 2."));
    p.Key(Qt::Key_Z, Qt::ControlModifier);  // one step
    QCOMPARE(p.StoredHex(), (QStringList{kRowA, kRowB, kRowC}));
  }

  // Shift+Down makes a block of two rows; Ctrl+X takes both out of the grid
  // and the store and puts them on the clipboard.
  void ShiftDownThenCutRemovesBothRows() {
    Page p;
    QVERIFY(p.Ready());
    p.FocusGridAt(0);
    p.Key(Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(p.grid->SelectedRows(), (std::pair{0, 2}));
    p.Key(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(p.Hex(), (QStringList{kRowC}));
    QCOMPARE(p.StoredHex(), (QStringList{kRowC}));
    QCOMPARE(QGuiApplication::clipboard()->text(), kTwoRows);
  }

  // The clipboard keys belong to the grid alone, and Ctrl+Z waits for an
  // open command drop-down (which has no undo of its own): the rows stay.
  void KeysOffTheGridLeaveTheRows_data() {
    QTest::addColumn<int>("column");  // a cell editor's; -1: "Dopisz  +"
    QTest::addColumn<int>("key");
    QTest::newRow("Ctrl+V in a comment") << kCommentColumn << int(Qt::Key_V);
    QTest::newRow("Ctrl+V on Dopisz  +") << -1 << int(Qt::Key_V);
    QTest::newRow("Ctrl+Z in the drop-down")
        << kCommandColumn << int(Qt::Key_Z);
  }
  void KeysOffTheGridLeaveTheRows() {
    QFETCH(int, column);
    QFETCH(int, key);
    Page p;
    QVERIFY(p.Ready());
    p.FocusGridAt(2);
    p.Click(ids::kAppend);
    QGuiApplication::clipboard()->setText(QStringLiteral("02,01,01"));
    if (column >= 0) {
      p.Select(3, column);
      p.grid->edit(p.grid->currentIndex());
    } else {
      p.page->Control(ids::kAppend)->setFocus();
    }
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus != nullptr && focus != p.grid);
    QTest::keyClick(focus, static_cast<Qt::Key>(key), Qt::ControlModifier);
    QCOMPARE(p.Hex(), (QStringList{kRowA, kRowB, kRowC, kRowA}));
    if (column == kCommentColumn) {
      QCOMPARE(focus->property("text").toString(), QStringLiteral("02,01,01"));
    }
  }

  // A loaded file empties the steps it replaces (a download that ends well
  // does too: DownloadTest); a job that reads no program keeps them, and so
  // does a download that fails, as it replaces nothing. The port never opens.
  void ReplacingTheProgramEmptiesTheSteps_data() {
    QTest::addColumn<int>("button");  // main window's; 0: a file is loaded
    QTest::addColumn<bool>("segment1_kept");
    QTest::addColumn<bool>("segment3_kept");
    QTest::newRow("POBIERZ") << main_ids::kDownloadAll << true << true;
    QTest::newRow("Pobierz:1") << main_ids::kDownloadSegment << true << true;
    QTest::newRow("program file") << 0 << false << false;
    QTest::newRow("Czytaj") << main_ids::kReadConfig << true << true;
  }
  void ReplacingTheProgramEmptiesTheSteps() {
    QFETCH(int, button);
    QFETCH(bool, segment1_kept);
    QFETCH(bool, segment3_kept);
    Page p;
    QVERIFY(p.Ready());
    for (int segment : {3, 1}) {
      p.page->editor().ChooseSegment(segment);
      p.FocusGridAt(0);
      p.Click(ids::kAppend);
    }
    if (button == 0) {
      p.page->ProgramLoaded();
    } else {
      QSignalSpy finished(&p.app.window->launcher().events(),
                          &WorkerEvents::jobFinished);
      p.app.Click(button);
      QVERIFY(finished.wait(5000));
    }
    QCOMPARE(p.Enabled(ids::kUndo), segment1_kept);
    p.page->editor().ChooseSegment(3);
    QCOMPARE(p.page->editor().CanUndo(), segment3_kept);
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::EditorKeysTest)
#include "editor_keys_test.moc"
