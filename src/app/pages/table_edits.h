// The number edits of the configuration and outputs pages, made from the
// core's table of edits and wired the same way: every change of an edit's
// text, typed or written by a refresh, is taken through the edit's rule,
// and leaving an edit the table marks runs the page's refresh.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <functional>
#include <span>

#include "core/config/page_edits.h"
#include "core/config/page_writes.h"

class QLineEdit;
class QWidget;

namespace lumera {

struct Workspace;

// What the two pages show and edit, as parts of the workspace.
ConfigPageData PageDataOf(Workspace& workspace);

class TableEdits : public QObject {
 public:
  // Makes one edit per row of `edits` in `page`; `refresh_on_leave` runs
  // when an edit whose row says so loses the focus.
  TableEdits(Workspace& workspace, std::span<const EditDef> edits,
             QWidget* page, std::function<void()> refresh_on_leave);

  QLineEdit* Edit(int control_id) const { return edits_.value(control_id); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Workspace& workspace_;
  std::function<void()> refresh_on_leave_;
  QHash<int, QLineEdit*> edits_;
};

// The page's controls by resource id.
QHash<int, QWidget*> ControlsById(const QWidget* page);

// The Tab key walks `ids` in this order (reading order rather than the
// order the controls were made in).
void ChainFocus(const QHash<int, QWidget*>& controls,
                std::initializer_list<int> ids);
void ChainFocus(const QHash<int, QWidget*>& controls, const QList<int>& ids);

// Copies a refresh's writes onto the controls. Edit texts are written with
// their change notification on: taking a text the refresh wrote holds the
// value it already holds.
void ApplyControlWrites(const PageWrites& writes,
                        const QHash<int, QWidget*>& controls);

}  // namespace lumera
