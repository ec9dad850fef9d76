// What the Qt side of the editor page adds to the core's editor: buttons
// reaching its operations, the grid's bracket and refusal of an edit, the
// command drop-down, accessibility of the cells, and the segment captions.
#include <QAccessible>
#include <QListWidget>
#include <QtTest>

#include "app/pages/editor/command_grid_model.h"
#include "app/shell/main_window_ids.h"
#include "core/model/command_catalogue.h"
#include "pages/editor_page_fixture.h"

namespace lumera {
namespace {

namespace ids = editor_page_ids;
using Page = testing::EditorPageFixture;

// Types as a keyboard would, a character at a time, also those outside
// ASCII that QTest's key tables do not know.
void TypeText(QWidget* widget, const QString& text) {
  for (const QChar character : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                    QString(character));
    QApplication::sendEvent(widget, &press);
  }
}

class EditorPageTest : public QObject {
  Q_OBJECT

 private:
  testing::OwnConfigHome config_home_;

 private slots:
  void ButtonsRunTheirOperations_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("start_row");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("current_row");
    QTest::addColumn<int>("stored_rows");  // commands in the store after
    const QString a = testing::kRowA;
    const QString b = testing::kRowB;
    const QString c = testing::kRowC;
    QTest::newRow("Dopisz  +")
        << ids::kAppend << 0 << true << QStringList{a, b, c, a} << 3 << 4;
    QTest::newRow("+") << ids::kAppendSmall << 0 << true
                       << QStringList{a, b, c, a} << 3 << 4;
    QTest::newRow("Wstaw  <")
        << ids::kInsert << 1 << true << QStringList{a, a, b, c} << 1 << 4;
    QTest::newRow("<") << ids::kInsertSmall << 2 << true
                       << QStringList{a, b, a, c} << 2 << 4;
    QTest::newRow("Usuń") << ids::kDelete << 2 << true << QStringList{a, b} << 1
                          << 2;
    // Moves and clearing do not write the grid back.
    QTest::newRow("W dół") << ids::kMoveDown << 0 << true
                           << QStringList{b, a, c} << 1 << 3;
    QTest::newRow("W górę")
        << ids::kMoveUp << 2 << true << QStringList{a, c, b} << 1 << 3;
    QTest::newRow("Kasuj Listę, Tak")
        << ids::kClearList << 1 << true << QStringList{} << -1 << 3;
    QTest::newRow("Kasuj Listę, Nie")
        << ids::kClearList << 1 << false << QStringList{a, b, c} << 1 << 3;
  }
  void ButtonsRunTheirOperations() {
    QFETCH(int, button);
    QFETCH(int, start_row);
    QFETCH(bool, answer);
    QFETCH(QStringList, rows);
    QFETCH(int, current_row);
    QFETCH(int, stored_rows);
    Page p;
    QVERIFY(p.page != nullptr);
    p.app.prompts.answers.push_back(answer);
    p.Select(start_row, kCommandColumn);
    p.Click(button);
    QCOMPARE(p.Hex(), rows);
    QCOMPARE(p.CurrentRow(), current_row);
    QCOMPARE(p.app.workspace.store.CommandListLength(0), stored_rows);
    if (button == ids::kClearList) {
      QCOMPARE(p.app.prompts.asked.size(), std::size_t{1});
      QCOMPARE(p.app.prompts.asked[0].caption,
               QStringLiteral("Kasowanie listy rozkazów"));
      QCOMPARE(p.app.prompts.asked[0].text,
               QStringLiteral("Czy skasować liste rozkazów ?"));
    }
  }

  // The chooser and parameter fields feed the command that is added.
  void ChooserAndFieldsMakeTheCommand() {
    Page p;
    const int wait_for_hour = *FindCommandDef(15);
    p.Combo(ids::kCommandChooser)->setCurrentIndex(wait_for_hour);
    QCOMPARE(p.Text(ids::kLabel2), QStringLiteral("Czas"));
    QVERIFY(!qobject_cast<QLineEdit*>(p.Control(ids::kParam1))->isEnabled());
    auto* field2 = qobject_cast<QLineEdit*>(p.Control(ids::kParam2));
    field2->clear();
    QTest::keyClicks(field2, QStringLiteral("42"));
    p.Click(ids::kAppend);
    QCOMPARE(p.app.workspace.store.CommandAt(0, 3), (Command{15, 0, 42}));
  }

  // The segment chooser, "Wejdź" and "Wróć", and the main window's
  // captions that follow the segment shown.
  void SegmentSwitchesMoveTheCaptions() {
    Page p;
    namespace main = main_window_ids;
    p.Select(1, kCommandColumn);
    p.Click(ids::kEnter);
    QCOMPARE(p.CurrentRow(), 1);
    QCOMPARE(p.Combo(ids::kSegmentChooser)->currentText(), QStringLiteral("3"));
    QCOMPARE(p.Text(ids::kReturn), QStringLiteral("Wróć (1)"));
    QCOMPARE(p.app.Text(main::kDownloadSegment), QStringLiteral("Pobierz:3"));
    QCOMPARE(p.app.workspace.settings.current_segment, 3);
    p.Click(ids::kReturn);
    QCOMPARE(p.CurrentRow(), 1);
    QCOMPARE(p.Text(ids::kReturn), QStringLiteral("Wróć"));
    QVERIFY(!p.Control(ids::kReturn)->isEnabled());
    p.Combo(ids::kSegmentChooser)->setCurrentIndex(9);
    QCOMPARE(p.Rows(), 0);
    QCOMPARE(p.app.Text(main::kUploadSegment), QStringLiteral("Wyślij:10"));
  }

  // The output buttons rewrite a code-3 row and show its pattern; those
  // are the editor's writes, not edits of the user.
  void OutputButtonsRewriteACode3Row() {
    Page p;
    p.app.workspace.store.SetCommand(0, 1, Command{3, 0x0F, 5});
    p.page->ProgramLoaded();
    p.Combo(ids::kCommandChooser)->setCurrentIndex(*FindCommandDef(3));
    QSignalSpy edits(&p.grid->grid_model(), &CommandGridModel::cellEdited);
    p.Select(1, kCommandColumn);  // a code-3 row
    p.Click(ids::kOutput1);       // rewrites its value and HEX
    QCOMPARE(p.Cell(1, kHexColumn), QStringLiteral("03,0E,05"));
    QCOMPARE(p.Text(ids::kParam1), QStringLiteral("0Eh"));
    QVERIFY(!p.Button(ids::kOutput1)->isChecked());
    QVERIFY(p.Button(ids::kOutput1 + 1)->isChecked());
    // Outputs 5..8 have no buttons: 1014 shows no lamp and does nothing.
    p.Click(ids::kOutput1 + 5);
    QVERIFY(p.Button(ids::kOutput1 + 5)->icon().isNull());
    QCOMPARE(p.Cell(1, kHexColumn), QStringLiteral("03,0E,05"));
    QCOMPARE(edits.count(), 0);
  }

  // A code-3 row reached with the mouse or the arrow keys shows its pattern
  // in parameter field 1 and the lamps at once, so "Dopisz" appends what
  // the page shows and the next output button toggles that.
  void ReachingACode3RowRedrawsItsPattern() {
    Page p;
    QVERIFY(p.Ready());
    p.app.workspace.store.SetCommand(0, 1, Command{3, 0x0A, 0});
    p.app.workspace.store.SetCommand(0, 2, Command{3, 0x05, 0});
    p.page->ProgramLoaded();
    p.Combo(ids::kCommandChooser)->setCurrentIndex(*FindCommandDef(3));
    QCOMPARE(p.Text(ids::kParam1), QStringLiteral("FFh"));

    const QRect cell =
        p.grid->visualRect(p.grid->model()->index(1, kNumberColumn));
    QTest::mouseClick(p.grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(p.CurrentRow(), 1);
    QCOMPARE(p.Text(ids::kParam1), QStringLiteral("0Ah"));
    QVERIFY(!p.Button(ids::kOutput1)->isChecked());
    QVERIFY(p.Button(ids::kOutput1 + 1)->isChecked());

    p.grid->setFocus();
    QTest::keyClick(p.grid, Qt::Key_Down);
    QCOMPARE(p.CurrentRow(), 2);
    QCOMPARE(p.Text(ids::kParam1), QStringLiteral("05h"));
    QVERIFY(p.Button(ids::kOutput1)->isChecked());
    QVERIFY(!p.Button(ids::kOutput1 + 1)->isChecked());

    p.Click(ids::kAppend);
    QCOMPARE(p.app.workspace.store.CommandAt(0, 3).param1, 0x05);
  }

  // Choosing another entry in the command cell's drop-down keeps the
  // row's bytes; cells the editor refuses open no editor.
  void DropDownChangesTheCommand() {
    Page p;
    QVERIFY(QTest::qWaitForWindowExposed(p.app.window.get()));
    const QModelIndex number = p.grid->model()->index(0, kNumberColumn);
    p.grid->edit(number);
    QVERIFY(p.grid->findChild<QLineEdit*>() == nullptr);

    const QModelIndex command = p.grid->model()->index(0, kCommandColumn);
    p.grid->edit(command);
    auto* combo = p.grid->findChild<QComboBox*>();
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->count(), kCatalogueSize);
    QVERIFY(!combo->itemIcon(kCatalogueSize - 1).isNull());
    const int jump = *FindCommandDef(24);
    combo->setCurrentIndex(jump);
    emit combo->activated(jump);
    QCOMPARE(p.grid->model()->index(0, kCommandColumn).data(Qt::EditRole),
             jump);
    QCOMPARE(p.Cell(0, kHexColumn), QStringLiteral("18,01,05"));
    QCOMPARE(p.Cell(0, kLabel2Column).trimmed(), QStringLiteral("Program"));
  }

  // A comment code page 1250 cannot hold: refused key by key while typed,
  // and put back when it reaches the grid anyway.
  void CommentOutsideCp1250IsRefused() {
    Page p;
    QVERIFY(QTest::qWaitForWindowExposed(p.app.window.get()));
    const QModelIndex comment = p.grid->model()->index(2, kCommentColumn);
    p.grid->edit(comment);
    auto* line = p.grid->findChild<QLineEdit*>();
    QVERIFY(line != nullptr);
    TypeText(line, QStringLiteral("3 ż☃ł"));
    QCOMPARE(line->text(), QStringLiteral("3 żł"));
    QTest::keyClick(line, Qt::Key_Return);
    // The view commits a line's text after the key has reached it.
    QTRY_COMPARE(p.StoredComment(2), QStringLiteral("3 żł"));
    QCOMPARE(p.grid->model()->index(2, 0).data(Qt::BackgroundRole),
             QColor(244, 210, 231));

    QVERIFY(
        !p.grid->model()->setData(comment, QStringLiteral("x☃"), Qt::EditRole));
    QCOMPARE(comment.data().toString(), QStringLiteral("3 żł"));
    QCOMPARE(p.StoredComment(2), QStringLiteral("3 żł"));
  }

  // "Popraw odwołania" on (as it starts), off, and the program check with
  // its marks and a finding followed to its command, all by clicks.
  void ReferencesFollowAndFindingsLeadToTheirCommand() {
    Page p;
    namespace main = main_window_ids;
    ProgramStore& store = p.app.workspace.store;
    store.SetCommand(1, 0, Command{24, 3, 1});  // segment 2 names C
    auto* fix = p.Button(ids::kFixReferences);
    QVERIFY(fix->isChecked());
    p.Select(1, kCommandColumn);
    p.Click(ids::kInsert);
    QCOMPARE(store.CommandAt(1, 0), (Command{24, 4, 1}));
    QCOMPARE(p.app.Text(main::kStatusLine),
             QString::fromUtf8("Poprawiono odwołania: 1"));
    p.Click(ids::kUndo);
    QCOMPARE(p.Hex(),
             (QStringList{testing::kRowA, testing::kRowB, testing::kRowC}));
    QCOMPARE(store.CommandAt(1, 0), (Command{24, 3, 1}));
    p.Click(ids::kFixReferences);
    QVERIFY(!p.app.workspace.settings.fix_references);
    p.Click(ids::kInsert);
    QCOMPARE(store.CommandAt(1, 0), (Command{24, 3, 1}));

    // Row B, now the third, calls segment 3, which has no return; segment
    // 2 jumps past its end.
    store.SetCommand(1, 1, Command{22, 9, 0});
    auto* findings = qobject_cast<QListWidget*>(p.Control(ids::kFindings));
    QVERIFY(findings->isHidden());
    p.Click(ids::kCheckProgram);
    QVERIFY(!findings->isHidden());
    QCOMPARE(findings->count(), 2);
    QCOMPARE(findings->item(0)->text(),
             QString::fromUtf8("01:003 Brak \"Powrot z procedury\" w "
                               "segmencie 3 od komendy 2 do końca listy."));
    const QModelIndex marked = p.grid->model()->index(2, kNumberColumn);
    QVERIFY(marked.data(kFindingRole).toBool());
    QVERIFY(marked.data(Qt::ToolTipRole).toString().startsWith("Brak"));
    QVERIFY(
        !p.grid->model()->index(1, kNumberColumn).data(kFindingRole).toBool());
    findings->setFocus();
    findings->setCurrentRow(1);
    QTest::keyClick(findings, Qt::Key_Return);
    QTRY_COMPARE(p.Combo(ids::kSegmentChooser)->currentText(),
                 QStringLiteral("2"));
    QCOMPARE(p.CurrentRow(), 1);
    // The check follows the edits: with the jump gone, so is its finding.
    p.Click(ids::kDelete);
    QCOMPARE(findings->count(), 1);
  }

  // A screen reader reads every cell and the current row.
  void CellsAreAccessible() {
    Page p;
    p.Select(2, kCommentColumn);
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(p.grid);
    QVERIFY(grid != nullptr);
    QAccessibleTableInterface* table = grid->tableInterface();
    QVERIFY(table != nullptr);
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->columnCount(), kGridColumnCount);
    for (int row = 0; row < 3; ++row) {
      for (int column = 0; column < kGridColumnCount; ++column) {
        QAccessibleInterface* cell = table->cellAt(row, column);
        QVERIFY(cell != nullptr);
        QCOMPARE(cell->text(QAccessible::Name),
                 p.grid->model()->index(row, column).data().toString());
      }
    }
    QCOMPARE(table->cellAt(1, kCommandColumn)->text(QAccessible::Name),
             QStringLiteral("Wołaj procedurę: segment/komenda"));
    QCOMPARE(table->selectedRows(), QList<int>{2});
    QCOMPARE(grid->text(QAccessible::Description),
             QString::number(ids::kCommandGrid));
  }
};

}  // namespace
}  // namespace lumera

QTEST_MAIN(lumera::EditorPageTest)
#include "editor_page_test.moc"
