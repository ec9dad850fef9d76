#include "app/widgets/shown_text_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <algorithm>

namespace lumera {
namespace {

constexpr char kShownTextProperty[] = "accessibleValueIsText";

// Besides the value, the shown text is offered as read-only text: the Linux
// accessibility bridge passes a label's value on to nobody, but text it does.
class ShownTextAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface {
 public:
  explicit ShownTextAccessible(QLabel* label)
      : QAccessibleWidget(label, QAccessible::StaticText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) {
      return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return Shown();
    return QAccessibleWidget::text(kind);
  }

  QString text(int start_offset, int end_offset) const override {
    const QString shown = Shown();
    const int start = std::clamp(start_offset, 0, int(shown.size()));
    const int end = std::clamp(end_offset, start, int(shown.size()));
    return shown.mid(start, end - start);
  }
  int characterCount() const override { return int(Shown().size()); }
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  int selectionCount() const override { return 0; }
  void selection(int, int* start_offset, int* end_offset) const override {
    *start_offset = 0;
    *end_offset = 0;
  }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* start_offset,
                     int* end_offset) const override {
    *start_offset = offset;
    *end_offset = offset;
    return {};
  }

 private:
  QString Shown() const { return static_cast<const QLabel*>(widget())->text(); }
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
  const QString old_text = label->text();
  label->setText(text);
  QAccessibleValueChangeEvent value_changed(label, text);
  QAccessible::updateAccessibility(&value_changed);
  QAccessibleTextUpdateEvent text_changed(label, 0, old_text, text);
  QAccessible::updateAccessibility(&text_changed);
}

}  // namespace lumera
