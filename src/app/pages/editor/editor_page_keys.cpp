// The editor page's undo and clipboard keys. Undo works anywhere on the page
// but inside a text field, whose own undo comes first; the clipboard keys
// belong to the grid alone, so an open cell editor keeps its Ctrl+C and
// Ctrl+V.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QToolButton>
#include <span>
#include <string>
#include <vector>

#include "app/pages/editor/command_grid_model.h"
#include "app/pages/editor/editor_page.h"
#include "app/pages/page_events.h"
#include "app/session/job_launcher.h"
#include "app/session/prompts.h"
#include "app/widgets/qt_text.h"
#include "core/editor/clipboard_rows.h"

namespace lumera {
namespace {

QString RowsMimeType() { return ToQString(kRowsMimeType); }

// An open cell editor of `grid` has the focus.
bool EditingACell(const QWidget* grid) {
  const QWidget* focus = QApplication::focusWidget();
  return focus != nullptr && focus != grid && grid->isAncestorOf(focus);
}

void PutOnClipboard(std::span<const ClipboardRow> rows) {
  if (rows.empty()) return;
  auto* data = new QMimeData;
  const std::string payload = RowsToPayload(rows);
  data->setData(
      RowsMimeType(),
      QByteArray(payload.data(), static_cast<qsizetype>(payload.size())));
  data->setText(ToQString(RowsToText(rows)));
  QGuiApplication::clipboard()->setMimeData(data);
}

}  // namespace

void EditorPage::ConnectKeys() {
  auto key = [this](QWidget* owner, Qt::ShortcutContext context,
                    const QList<QKeySequence>& keys,
                    void (EditorPage::*slot)()) {
    auto* action = new QAction(owner);
    action->setShortcuts(keys);
    action->setShortcutContext(context);
    owner->addAction(action);
    connect(action, &QAction::triggered, this, slot);
  };
  key(this, Qt::WidgetWithChildrenShortcut,
      {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &EditorPage::UndoKey);
  key(this, Qt::WidgetWithChildrenShortcut,
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
       QKeySequence(Qt::CTRL | Qt::Key_Y)},
      &EditorPage::RedoKey);
  key(grid_, Qt::WidgetShortcut, {QKeySequence(Qt::CTRL | Qt::Key_C)},
      &EditorPage::CopyRows);
  key(grid_, Qt::WidgetShortcut, {QKeySequence(Qt::CTRL | Qt::Key_X)},
      &EditorPage::CutRows);
  key(grid_, Qt::WidgetShortcut, {QKeySequence(Qt::CTRL | Qt::Key_V)},
      &EditorPage::PasteRows);

  connect(c_.undo, &QToolButton::clicked, this, &EditorPage::Undo);
  connect(c_.redo, &QToolButton::clicked, this, &EditorPage::Redo);
  // A typed or chosen cell reaches the editor without the page.
  connect(&grid_->grid_model(), &CommandGridModel::cellEdited, this,
          [this] { ShowView(); });
}

void EditorPage::Undo() {
  editor_.Undo();
  ShowView();
}

// The command drop-down of a cell takes no Ctrl+Z of its own; the rows must
// not change under it while it is open.
void EditorPage::UndoKey() {
  if (!EditingACell(grid_)) Undo();
}

void EditorPage::RedoKey() {
  if (!EditingACell(grid_)) Redo();
}

void EditorPage::Redo() {
  editor_.Redo();
  ShowView();
}

void EditorPage::CopyRows() {
  const auto [first, count] = grid_->SelectedRows();
  if (count > 0) PutOnClipboard(editor_.CopyRows(first, count));
}

void EditorPage::CutRows() {
  const auto [first, count] = grid_->SelectedRows();
  if (count == 0) return;
  PutOnClipboard(editor_.CutRows(first, count));
  ShowView();
  ShowFixedReferences();
}

void EditorPage::PasteRows() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr) return;
  std::vector<ClipboardRow> rows;
  const QByteArray payload = data->data(RowsMimeType());
  // Our own rows carry the exact bytes; text is the way in from elsewhere
  // (and the fallback should the payload not read).
  const bool ours =
      !payload.isEmpty() &&
      RowsFromPayload(
          std::string_view(payload.constData(),
                           static_cast<std::size_t>(payload.size())),
          rows);
  if (!ours) {
    if (!data->hasText()) return;
    TextRowsResult text = RowsFromText(data->text().toStdString());
    if (text.bad_line != 0) {
      context_.prompts.Warn(QStringLiteral("INFO"), ToQString(text.message));
      return;
    }
    rows = std::move(text.rows);
  }
  if (rows.empty()) return;
  const int pasted = editor_.PasteRows(rows);
  ShowView();
  emit context_.events.statusText(
      ToQString(PasteStatusText(pasted, static_cast<int>(rows.size()),
                                editor_.TakeFixedReferenceCount())));
}

void EditorPage::ShowHistoryState() {
  c_.undo->setEnabled(editor_.CanUndo());
  c_.redo->setEnabled(editor_.CanRedo());
}

void EditorPage::ForgetReplacedHistory(unsigned segments) {
  for (int segment = 1; segment <= kSegmentCount; ++segment) {
    if ((segments >> (segment - 1)) & 1u) editor_.ClearHistory(segment);
  }
  ShowHistoryState();
}

}  // namespace lumera
