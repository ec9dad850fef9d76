#include "app/shell/shown_text_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace lumera {
namespace {

constexpr char kShownTextProperty[] = "accessibleValueIsText";

class ShownTextAccessible : public QAccessibleWidget {
 public:
  explicit ShownTextAccessible(QLabel* label)
      : QAccessibleWidget(label, QAccessible::StaticText) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) {
      return static_cast<const QLabel*>(widget())->text();
    }
    return QAccessibleWidget::text(kind);
  }
};

QAccessibleInterface* ShownTextFactory(const QString& class_name,
                                       QObject* object) {
  if (class_name != QLatin1String("QLabel") || object == nullptr ||
      !object->property(kShownTextProperty).toBool()) {
    return nullptr;
  }
  return new ShownTextAccessible(static_cast<QLabel*>(object));
}

}  // namespace

void ExposeShownText(QLabel* label) {
  // Factories are per process; one is enough for every window.
  static const bool installed = [] {
    QAccessible::installFactory(&ShownTextFactory);
    return true;
  }();
  (void)installed;
  label->setProperty(kShownTextProperty, true);
  // An interface made for the label before it was marked would stay cached.
  if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(label);
      made != nullptr && dynamic_cast<ShownTextAccessible*>(made) == nullptr) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
}

void SetShownText(QLabel* label, const QString& text) {
  label->setText(text);
  QAccessibleValueChangeEvent event(label, text);
  QAccessible::updateAccessibility(&event);
}

}  // namespace lumera
