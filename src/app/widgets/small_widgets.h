// The small controls the windows share: buttons, labels, digits-only
// fields, sunken status texts and group boxes, each tagged with its id.
#pragma once

#include <QLabel>
#include <QString>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace lumera {

QPushButton* Button(QWidget* parent, int id, const char* object_name,
                    const QString& caption);
// A static text naming `buddy`.
QLabel* Label(QWidget* parent, const char* object_name, const QString& text,
              QWidget* buddy);
// Digits only (spaces before them allowed), right-aligned.
QLineEdit* DigitsField(QWidget* parent, int id, const char* object_name,
                       const QString& accessible_name, int max_length);
// A framed text whose shown text is its accessible value; `label` may be a
// subclass made by the caller.
QLabel* SunkenText(QWidget* parent, int id, const char* object_name,
                   const QString& accessible_name, const QString& text,
                   QLabel* label = nullptr);
QGroupBox* Box(QWidget* parent, const char* object_name, const QString& title);

// A path, right-aligned: when it is longer than the box, its start gives way
// so that the file's own name stays in sight, and the whole path shows as a
// tool tip. Its size does not follow the path, so a long one cannot push the
// boxes apart.
class PathLabel : public QLabel {
 public:
  using QLabel::QLabel;

  QSize sizeHint() const override { return minimumSizeHint(); }
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
};

}  // namespace lumera
