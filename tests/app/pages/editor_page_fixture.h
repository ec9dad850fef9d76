// The main window shown with its editor page on segment 1, for the editor
// page's tests. Segment 1: three commands, the first two commented; row 2
// calls segment 3, command 2. Segment 3: two commands.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "app/pages/editor/command_grid_view.h"
#include "app/pages/editor/editor_page.h"
#include "app/pages/editor/editor_page_ids.h"
#include "app_fixture.h"
#include "core/editor/grid_rows.h"

namespace lumera::testing {

// Segment 1's rows as HEX.
inline const QString kRowA = QStringLiteral("01,01,05");
inline const QString kRowB = QStringLiteral("1B,02,03");
inline const QString kRowC = QStringLiteral("02,04,09");

struct EditorPageFixture {
  AppFixture app;
  CommandGridView* grid = nullptr;
  EditorPage* page = nullptr;

  EditorPageFixture() {
    ProgramStore& store = app.workspace.store;
    store.SetCommand(0, 0, Command{1, 1, 5});
    store.SetCommand(0, 1, Command{27, 2, 3});
    store.SetCommand(0, 2, Command{2, 4, 9});
    store.comments().Set(0, 0, "pierwszy");
    store.comments().Set(0, 1, "drugi");
    store.SetCommand(2, 0, Command{2, 1, 1});
    store.SetCommand(2, 1, Command{2, 2, 2});
    app.Open();
    app.window->show();
    app.window->activateWindow();
    page = dynamic_cast<EditorPage*>(app.window->PageAt(0));
    grid =
        qobject_cast<CommandGridView*>(Control(editor_page_ids::kCommandGrid));
  }
  // For the tests whose keys need the window to have the focus.
  bool Ready() const {
    return grid != nullptr && QTest::qWaitForWindowActive(app.window.get());
  }

  // The page's own controls: their ids may also be the main window's.
  QWidget* Control(int id) const { return page->Control(id); }
  QAbstractButton* Button(int id) const {
    return qobject_cast<QAbstractButton*>(Control(id));
  }
  QComboBox* Combo(int id) const {
    return qobject_cast<QComboBox*>(Control(id));
  }
  QString Text(int id) const {
    QWidget* widget = Control(id);
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    return Button(id)->text();
  }
  bool Enabled(int id) const { return Control(id)->isEnabled(); }
  void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }

  // The grid's current cell, moved as the view moves it.
  void Select(int row, int column = kCommandColumn) {
    grid->setCurrentIndex(grid->model()->index(row, column));
  }
  void FocusGridAt(int row) {
    grid->setFocus();
    Select(row);
  }
  int Rows() const { return grid->model()->rowCount(); }
  int CurrentRow() const { return page->editor().current_row(); }
  QString Cell(int row, int column) const {
    return grid->model()->index(row, column).data().toString();
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }

  // The segment shown as the grid has it; segment 1 as the store holds it.
  QStringList Hex() const {
    QStringList hex;
    for (int row = 0; row < Rows(); ++row) hex << Cell(row, kHexColumn);
    return hex;
  }
  QStringList StoredHex() const {
    QStringList hex;
    const ProgramStore& store = app.workspace.store;
    for (int k = 0; k < store.CommandListLength(0); ++k) {
      const Command c = store.CommandAt(0, k);
      hex << QString::asprintf("%02X,%02X,%02X", c.code, c.param1, c.param2);
    }
    return hex;
  }
  QString StoredComment(int command) const {
    return QString::fromStdString(
        std::string(app.workspace.store.comments().Text(0, command)));
  }
};

}  // namespace lumera::testing
