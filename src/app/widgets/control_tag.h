// Every control carries its resource id (property "controlId"), a
// descriptive objectName and an accessible name; the id is its accessible
// description, so tests and screen readers find the control by it.
#pragma once

#include <QString>
#include <QVariant>

namespace lumera {

// The id of statics that have none of their own.
inline constexpr int kStaticControlId = -1;

template <typename Widget>
Widget* Tag(Widget* widget, int id, const char* object_name,
            const QString& accessible_name) {
  widget->setObjectName(QString::fromLatin1(object_name));
  widget->setProperty("controlId", id);
  widget->setAccessibleName(accessible_name);
  // An unnamed static has no id worth reading out.
  if (id != kStaticControlId) {
    widget->setAccessibleDescription(QString::number(id));
  }
  return widget;
}

}  // namespace lumera
