#include "app/pages/page.h"

#include <QVariant>

namespace lumera {

Page::Page(int dialog_id, const char* object_name, const QString& title,
           QWidget* parent)
    : QWidget(parent) {
  setObjectName(QString::fromLatin1(object_name));
  setProperty("controlId", dialog_id);
  setAccessibleName(title.trimmed());
  setAccessibleDescription(QString::number(dialog_id));
}

QWidget* Page::Control(int control_id) const {
  const auto widgets = findChildren<QWidget*>();
  for (QWidget* widget : widgets) {
    if (widget->property("controlId").toInt() == control_id) return widget;
  }
  return nullptr;
}

}  // namespace lumera
