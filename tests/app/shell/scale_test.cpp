// The main window as a person sees it at the scales laptops use: every
// button, label and field of every page shows its whole text (a combo box
// any of its items), and no control lies over another or reaches past the
// box that holds it. The program runs at one scale, given as `--scale
// FACTOR` (ctest runs it at 1, 1.5 and 2), both at the window's start size
// and at the smallest size it can be given.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyleOption>
#include <QTabBar>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>
#include <cstring>

#include "app/shell/application_setup.h"
#include "app_fixture.h"

namespace lumera {
namespace {

using testing::AppFixture;

constexpr int kTextFlags = Qt::TextShowMnemonic;

QSize TextSize(const QWidget* widget, const QString& text) {
  return widget->fontMetrics().size(kTextFlags, text);
}

QString Describe(const QWidget* widget) {
  QString name = widget->objectName();
  if (name.isEmpty()) name = widget->accessibleName();
  return QStringLiteral("%1 \"%2\"")
      .arg(QString::fromLatin1(widget->metaObject()->className()), name);
}

// Where a button draws its text, and how much it needs there.
struct TextRoom {
  QRect room;
  QSize needed;
};

std::optional<TextRoom> ButtonTextRoom(const QAbstractButton* button) {
  if (button->text().isEmpty()) return std::nullopt;
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  option.icon = button->icon();
  option.iconSize = button->iconSize();
  QSize needed = TextSize(button, button->text());
  if (!button->icon().isNull()) {
    needed.rwidth() += button->iconSize().width() + 4;
    needed.setHeight(std::max(needed.height(), button->iconSize().height()));
  }
  const QStyle* style = button->style();
  QStyle::SubElement element = QStyle::SE_PushButtonContents;
  if (qobject_cast<const QCheckBox*>(button)) {
    element = QStyle::SE_CheckBoxContents;
  } else if (qobject_cast<const QRadioButton*>(button)) {
    element = QStyle::SE_RadioButtonContents;
  } else if (const auto* tool = qobject_cast<const QToolButton*>(button)) {
    if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly) return std::nullopt;
    const int frame =
        style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
    return TextRoom{button->rect().adjusted(frame, frame, -frame, -frame),
                    needed};
  } else if (const auto* push = qobject_cast<const QPushButton*>(button)) {
    if (push->isDefault() || push->autoDefault()) {
      option.features |= QStyleOptionButton::AutoDefaultButton;
    }
    if (push->menu() != nullptr) option.features |= QStyleOptionButton::HasMenu;
  }
  return TextRoom{style->subElementRect(element, &option, button), needed};
}

std::optional<TextRoom> LineEditTextRoom(const QLineEdit* edit) {
  QStyleOptionFrame option;
  option.initFrom(edit);
  option.lineWidth = edit->hasFrame()
                         ? edit->style()->pixelMetric(
                               QStyle::PM_DefaultFrameWidth, &option, edit)
                         : 0;
  QRect room = edit->style()
                   ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                   .marginsRemoved(edit->textMargins());
  // The margins QLineEdit keeps around its text, and room for the cursor.
  room.adjust(2, 1, -2, -1);
  QSize needed = TextSize(edit, edit->displayText());
  needed.rwidth() += 1;
  return TextRoom{room, needed};
}

// A closed combo box shows its current item: any item, once chosen.
std::optional<TextRoom> ComboTextRoom(const QComboBox* combo) {
  if (combo->isEditable()) return std::nullopt;  // its line edit is checked
  QStyleOptionComboBox option;
  option.initFrom(combo);
  option.editable = false;
  option.frame = combo->hasFrame();
  option.currentText = combo->currentText();
  option.currentIcon = combo->itemIcon(combo->currentIndex());
  option.iconSize = combo->iconSize();
  option.subControls = QStyle::SC_All;
  const QRect room = combo->style()->subControlRect(
      QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
  QSize needed;
  for (int i = 0; i < combo->count(); ++i) {
    QSize item = TextSize(combo, combo->itemText(i));
    item.rwidth() += 2;
    if (!combo->itemIcon(i).isNull()) {
      item.rwidth() += combo->iconSize().width() + 4;
    }
    needed = needed.expandedTo(item);
  }
  return TextRoom{room, needed};
}

// The widgets a person reads or works: everything else is a container.
bool IsControl(const QWidget* widget) {
  if (qobject_cast<const QScrollArea*>(widget)) return false;
  return qobject_cast<const QAbstractButton*>(widget) ||
         qobject_cast<const QLabel*>(widget) ||
         qobject_cast<const QLineEdit*>(widget) ||
         qobject_cast<const QComboBox*>(widget) ||
         qobject_cast<const QAbstractSpinBox*>(widget) ||
         qobject_cast<const QProgressBar*>(widget) ||
         qobject_cast<const QAbstractSlider*>(widget) ||
         qobject_cast<const QAbstractScrollArea*>(widget) ||
         qobject_cast<const QTabBar*>(widget);
}

bool InsideControl(const QWidget* widget, const QWidget* window) {
  for (const QWidget* up = widget->parentWidget(); up && up != window;
       up = up->parentWidget()) {
    if (IsControl(up)) return true;
  }
  return false;
}

// A widget inside a scrolled view may lie past its parent's edge on purpose.
bool InsideScrolledView(const QWidget* widget, const QWidget* window) {
  for (const QWidget* up = widget->parentWidget(); up && up != window;
       up = up->parentWidget()) {
    const auto* area =
        qobject_cast<const QAbstractScrollArea*>(up->parentWidget());
    if (area && area->viewport() == up) return true;
  }
  return false;
}

QRect InWindow(const QWidget* widget, const QWidget* window) {
  return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// Every fault found on the window as it now stands, one line each.
QStringList Faults(const QWidget* window) {
  QStringList faults;
  auto text_fault = [&](const QWidget* widget, const TextRoom& text) {
    if (text.needed.width() > text.room.width() ||
        text.needed.height() > text.room.height()) {
      faults << QStringLiteral("%1: its text needs %2x%3, has %4x%5")
                    .arg(Describe(widget))
                    .arg(text.needed.width())
                    .arg(text.needed.height())
                    .arg(text.room.width())
                    .arg(text.room.height());
    }
  };
  std::vector<const QWidget*> leaves;
  for (const QWidget* widget : window->findChildren<QWidget*>()) {
    if (!widget->isVisible()) continue;
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
      if (const auto room = ButtonTextRoom(button)) text_fault(widget, *room);
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
      text_fault(widget, *LineEditTextRoom(edit));
    } else if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
      if (const auto room = ComboTextRoom(combo)) text_fault(widget, *room);
    } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      if (!label->text().isEmpty()) {
        // A wrapped text needs its height at the label's width; one line
        // needs the label's natural size (the class's own, whatever a
        // subclass says it needs).
        const QSize size = label->wordWrap()
                               ? QSize(0, label->heightForWidth(label->width()))
                               : label->QLabel::minimumSizeHint();
        text_fault(widget, TextRoom{label->rect(), size});
      }
    } else if (const auto* tabs = qobject_cast<const QTabBar*>(widget)) {
      const int space =
          tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
      for (int i = 0; i < tabs->count(); ++i) {
        QSize needed = TextSize(tabs, tabs->tabText(i).trimmed());
        needed.rwidth() += space;
        text_fault(widget, TextRoom{tabs->tabRect(i), needed});
      }
    } else if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
      QStyleOptionGroupBox option;
      option.initFrom(box);
      option.text = box->title();
      option.subControls = QStyle::SC_GroupBoxLabel;
      const QRect title = box->style()->subControlRect(
          QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
      if (!box->rect().contains(title)) {
        faults << QStringLiteral("%1: its title reaches past its frame")
                      .arg(Describe(widget));
      }
    }
    if (IsControl(widget) && !InsideControl(widget, window)) {
      leaves.push_back(widget);
      const QWidget* parent = widget->parentWidget();
      if (!InsideScrolledView(widget, window) &&
          !InWindow(parent, window).contains(InWindow(widget, window))) {
        faults << QStringLiteral("%1 reaches past %2")
                      .arg(Describe(widget), Describe(parent));
      }
    }
  }
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    for (std::size_t j = i + 1; j < leaves.size(); ++j) {
      if (InWindow(leaves[i], window).intersects(InWindow(leaves[j], window))) {
        faults << QStringLiteral("%1 overlaps %2")
                      .arg(Describe(leaves[i]), Describe(leaves[j]));
      }
    }
  }
  return faults;
}

class ScaleTest : public QObject {
  Q_OBJECT

 public:
  explicit ScaleTest(double scale) : scale_(scale) {}

 private:
  testing::OwnConfigHome config_home_;
  double scale_;

 private slots:
  void EveryPageShowsWholeTextsWithNothingOverlapping_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("smallest");
    const char* const pages[] = {"editor", "configuration", "outputs", "site"};
    for (int tab = 0; tab < kPageCount; ++tab) {
      QTest::addRow("%s, start size", pages[tab]) << tab << false;
      QTest::addRow("%s, smallest size", pages[tab]) << tab << true;
    }
  }
  void EveryPageShowsWholeTextsWithNothingOverlapping() {
    QFETCH(int, tab);
    QFETCH(bool, smallest);
    AppFixture app;
    app.Open();
    app.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(app.window.get()));
    // The scale asked for is the one drawn at.
    QCOMPARE(app.window->devicePixelRatio(), scale_);
    app.window->SelectTab(tab);
    if (smallest) {
      app.window->resize(app.window->minimumSizeHint());
      QTRY_COMPARE(app.window->size(), app.window->minimumSizeHint());
    }
    QApplication::processEvents();
    const QStringList faults = Faults(app.window.get());
    if (!faults.isEmpty()) QFAIL(qPrintable(faults.join(QChar('\n'))));
  }
};

}  // namespace
}  // namespace lumera

// `--scale FACTOR` becomes Qt's scale factor before the application starts;
// it is taken out of the arguments QtTest reads.
int main(int argc, char* argv[]) {
  double scale = 1.0;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
      scale = QByteArray(argv[++i]).toDouble();
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
  QApplication app(argc, argv);
  QTranslator polish;
  lumera::SetUpApplication(app, polish);
  lumera::ScaleTest test(scale);
  return QTest::qExec(&test, argc, argv);
}
#include "scale_test.moc"
