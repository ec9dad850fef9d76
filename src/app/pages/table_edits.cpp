#include "app/pages/table_edits.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include "app/pages/page_controls.h"
#include "app/resources/image_names.h"
#include "app/widgets/shown_text_accessible.h"
#include "app/widgets/small_widgets.h"
#include "core/config/switch_display.h"
#include "core/session/workspace.h"

namespace lumera {

namespace {

// Wide enough for any number the rules let through; longer input reads as
// the edits read it, not as an error.
constexpr int kEditMaxLength = 10;

const char* const kLeaveRefreshes = "refreshOnLeave";

}  // namespace

ConfigPageData PageDataOf(Workspace& workspace) {
  RadioAddress& access = workspace.settings.access_point_address;
  return {workspace.store.mutable_image(),
          workspace.config_page,
          {access.high, access.second, access.low},
          workspace.status};
}

TableEdits::TableEdits(Workspace& workspace, std::span<const EditDef> edits,
                       QWidget* page, std::function<void()> refresh_on_leave)
    : workspace_(workspace), refresh_on_leave_(std::move(refresh_on_leave)) {
  for (const EditDef& def : edits) {
    const int id = EditControlId(def.field);
    const QByteArray object_name = "edit" + QByteArray::number(id);
    QLineEdit* edit =
        DigitsField(page, id, object_name.constData(),
                    QString::fromUtf8(def.name.data(),
                                      static_cast<qsizetype>(def.name.size())),
                    kEditMaxLength);
    edit->setMaximumWidth(QWIDGETSIZE_MAX);
    // Three digits are the most any rule holds.
    edit->setFixedWidth(
        edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 14);
    if (EditHasNoRecordPlace(def)) {
      edit->setToolTip(
          QString::fromUtf8(kNoRecordPlaceTip.data(),
                            static_cast<qsizetype>(kNoRecordPlaceTip.size())));
      edit->setEnabled(false);
    }
    edits_.insert(id, edit);
    const EditDef* row = &def;  // the table lives for the whole run
    connect(edit, &QLineEdit::textChanged, this, [this, row](const QString& t) {
      ConfigPageData data = PageDataOf(workspace_);
      TakeEditText(data, *row, t.toStdString());
    });
    if (def.refresh_on_focus_out) {
      edit->setProperty(kLeaveRefreshes, true);
      edit->installEventFilter(this);
    }
  }
}

bool TableEdits::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut &&
      watched->property(kLeaveRefreshes).toBool() && refresh_on_leave_) {
    refresh_on_leave_();
  }
  return QObject::eventFilter(watched, event);
}

QHash<int, QWidget*> ControlsById(const QWidget* page) {
  QHash<int, QWidget*> controls;
  const auto widgets = page->findChildren<QWidget*>();
  for (QWidget* widget : widgets) {
    const int id = widget->property("controlId").toInt();
    if (id > 0) controls.insert(id, widget);
  }
  return controls;
}

void ChainFocus(const QHash<int, QWidget*>& controls,
                std::initializer_list<int> ids) {
  ChainFocus(controls, QList<int>(ids));
}

void ChainFocus(const QHash<int, QWidget*>& controls, const QList<int>& ids) {
  QWidget* previous = nullptr;
  for (int id : ids) {
    QWidget* control = controls.value(id);
    if (control == nullptr) continue;
    if (previous != nullptr) QWidget::setTabOrder(previous, control);
    previous = control;
  }
}

void ApplyControlWrites(const PageWrites& writes,
                        const QHash<int, QWidget*>& controls) {
  for (const ControlWrite& write : writes) {
    QWidget* control = controls.value(ControlIdOf(write.target));
    if (control == nullptr) continue;
    const QString text = QString::fromStdString(write.text);
    switch (write.kind) {
      case ControlWrite::Kind::kEditText:
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
          if (edit->text() != text) edit->setText(text);
          edit->setEnabled(write.enabled);
        }
        break;
      case ControlWrite::Kind::kCheckBox:
        if (auto* box = qobject_cast<QAbstractButton*>(control)) {
          box->setChecked(write.value != 0);
        }
        break;
      case ControlWrite::Kind::kText:
        if (auto* label = qobject_cast<QLabel*>(control)) {
          SetShownText(label, text);
        }
        break;
      case ControlWrite::Kind::kPicture:
        if (auto* label = qobject_cast<QLabel*>(control)) {
          const bool off = write.value == kSwitchOffPicture;
          label->setPixmap(QPixmap(
              QString::fromLatin1(off ? kSwitchOffImage : kSwitchOnImage)));
          // The picture's state as words, for a screen reader.
          label->setAccessibleName(label->property("positionName").toString() +
                                   (off ? QStringLiteral(" wyłączony")
                                        : QStringLiteral(" włączony")));
        }
        break;
    }
  }
}

}  // namespace lumera
