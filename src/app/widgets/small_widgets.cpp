#include "app/widgets/small_widgets.h"

#include <QGroupBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QToolTip>

#include "app/widgets/control_tag.h"
#include "app/widgets/shown_text_accessible.h"

namespace lumera {

QPushButton* Button(QWidget* parent, int id, const char* object_name,
                    const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setAutoDefault(false);
  return Tag(button, id, object_name, caption);
}

QLabel* Label(QWidget* parent, const char* object_name, const QString& text,
              QWidget* buddy) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return Tag(label, kStaticControlId, object_name, text);
}

QLineEdit* DigitsField(QWidget* parent, int id, const char* object_name,
                       const QString& accessible_name, int max_length) {
  auto* field = new QLineEdit(parent);
  // Digits only; the spaces a refresh may leave in front (controller
  // number 0) must not stop the user from typing after them.
  static const QRegularExpression kDigits(QStringLiteral(" *[0-9]*"));
  field->setValidator(new QRegularExpressionValidator(kDigits, field));
  field->setMaxLength(max_length);
  field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  field->setMaximumWidth(
      field->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
  return Tag(field, id, object_name, accessible_name);
}

QLabel* SunkenText(QWidget* parent, int id, const char* object_name,
                   const QString& accessible_name, const QString& text,
                   QLabel* label) {
  if (label == nullptr) label = new QLabel(parent);
  label->setText(text);
  label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  ExposeShownText(label);
  return Tag(label, id, object_name, accessible_name);
}

QGroupBox* Box(QWidget* parent, const char* object_name, const QString& title) {
  auto* box = new QGroupBox(title, parent);
  return Tag(box, kStaticControlId, object_name, title);
}

QSize PathLabel::minimumSizeHint() const {
  const QMargins margins = contentsMargins();
  return {fontMetrics().horizontalAdvance(QStringLiteral("FILENAME_0000000")) +
              margins.left() + margins.right() + 2 * margin() + 8,
          QLabel::minimumSizeHint().height()};
}

void PathLabel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  drawFrame(&painter);
  const QRect area =
      contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  style()->drawItemText(
      &painter, area, static_cast<int>(alignment()), palette(), isEnabled(),
      fontMetrics().elidedText(text(), Qt::ElideLeft, area.width()),
      foregroundRole());
}

bool PathLabel::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
    if (fontMetrics().horizontalAdvance(text()) > contentsRect().width()) {
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(),
                         this);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QLabel::event(event);
}

}  // namespace lumera
