#include "app/pages/config/config_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/pages/config/config_page_ids.h"
#include "app/pages/page_events.h"
#include "app/pages/table_edits.h"
#include "app/resources/app_resources.h"
#include "app/resources/image_names.h"
#include "app/session/job_launcher.h"
#include "app/widgets/control_tag.h"
#include "app/widgets/qt_text.h"
#include "app/widgets/shown_text_accessible.h"
#include "app/widgets/small_widgets.h"
#include "core/config/config_page_texts.h"
#include "core/config/page_refresh.h"
#include "core/config/switch_display.h"
#include "core/session/workspace.h"

namespace lumera {

namespace {

namespace ids = config_page_ids;

// A static text the refresh fills; what it shows is its accessible value.
QLabel* FilledText(QWidget* parent, int id, const char* object_name,
                   const QString& accessible_name, const QString& text) {
  auto* label = new QLabel(text, parent);
  ExposeShownText(label);
  return Tag(label, id, object_name, accessible_name);
}

QLabel* Fixed(QWidget* parent, const QByteArray& object_name,
              const QString& text) {
  auto* label = new QLabel(text, parent);
  return Tag(label, kStaticControlId, object_name.constData(), text.trimmed());
}

// "1." to "16." in front of a row.
QLabel* RowNumber(QWidget* parent, const char* prefix, int n) {
  return Fixed(parent, prefix + QByteArray::number(n),
               QStringLiteral("%1.").arg(n));
}

}  // namespace

ConfigPage::ConfigPage(PageContext& context, QWidget* parent)
    : Page(ids::kDialog, "configPage", QStringLiteral("Konfiguracja"), parent),
      context_(context) {
  RegisterAppResources();
  edits_ = std::make_unique<TableEdits>(context_.workspace, ConfigPageEdits(),
                                        this, [this] { RefreshConfigPage(); });

  // Three columns, so that every row keeps its full height in the page:
  // the number, access point and start points; the switch and the clock;
  // the tempos.
  auto* numbers = new QHBoxLayout;
  numbers->addWidget(BuildNumberBox());
  numbers->addWidget(BuildAccessPointBox());
  auto* left = new QVBoxLayout;
  left->addLayout(numbers);
  left->addWidget(BuildStartPointBox());
  left->addStretch(1);

  auto* middle = new QVBoxLayout;
  middle->addWidget(BuildSwitchBox());
  middle->addWidget(BuildClockBox());
  middle->addStretch(1);

  auto* right = new QVBoxLayout;
  right->addWidget(BuildTempoBox());
  right->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(8, 6, 8, 6);
  layout->addLayout(left);
  layout->addLayout(middle);
  layout->addLayout(right);
  layout->addStretch(1);

  controls_ = ControlsById(this);
  QList<int> order = {ids::kControllerNumber,      ids::kReadControllerNumber,
                      ids::kWriteControllerNumber, ids::kAccessPointHigh,
                      ids::kAccessPointMiddle,     ids::kAccessPointLow,
                      ids::kAccessPointReset,      ids::kIndexMode};
  for (std::size_t at = 0; at < ids::kStartButtons.size(); ++at) {
    order << ids::kStartSegments[at] << ids::kStartCommands[at]
          << ids::kStartButtons[at];
  }
  order << ids::kSetClock << ids::kReadClock;
  for (std::size_t at = 0; at < ids::kTempoButtons.size(); ++at) {
    order << ids::kMultipliers[at] << ids::kTempoButtons[at];
  }
  ChainFocus(controls_, order);
  connect(&context_.launcher.events(), &WorkerEvents::refreshConfigPage, this,
          &ConfigPage::RefreshConfigPage);
  RefreshConfigPage();
}

ConfigPage::~ConfigPage() = default;

void ConfigPage::RefreshOnTabChange() { RefreshConfigPage(); }

void ConfigPage::ProgramLoaded() { RefreshConfigPage(); }

void ConfigPage::RefreshConfigPage() {
  ConfigPageData data = PageDataOf(context_.workspace);
  ApplyControlWrites(lumera::RefreshConfigPage(data), controls_);
  emit context_.events.configPageRefreshed();
}

QWidget* ConfigPage::JobButton(QWidget* parent, int id, const char* object_name,
                               const QString& caption, JobStart start) {
  QPushButton* button = Button(parent, id, object_name, caption);
  button->setAccessibleName(caption.trimmed());
  // A caption is never cut: the page grows instead.
  button->setMinimumWidth(button->sizeHint().width());
  context_.launcher.Connect(button, std::move(start));
  return button;
}

QGroupBox* ConfigPage::BuildNumberBox() {
  QGroupBox* box =
      Box(this, "controllerNumberBox", QStringLiteral("Numer sterownika"));
  auto* layout = new QHBoxLayout(box);
  layout->addWidget(edits_->Edit(ids::kControllerNumber));
  layout->addWidget(JobButton(
      box, ids::kReadControllerNumber, "readControllerNumber",
      QStringLiteral("Odczytaj"), WithoutEditor(StartReadControllerNumber)));
  layout->addWidget(JobButton(box, ids::kWriteControllerNumber,
                              "writeControllerNumber", QStringLiteral("Wyślij"),
                              WithoutEditor(StartWriteControllerNumber)));
  return box;
}

QGroupBox* ConfigPage::BuildSwitchBox() {
  QGroupBox* box =
      Box(this, "switchBox", QStringLiteral("Przełącznik sterownika"));
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(2);
  for (int position = 1; position <= 8; ++position) {
    const int column = position - 1;
    grid->addWidget(Fixed(box, "switchLabel" + QByteArray::number(position),
                          QString::number(position)),
                    0, column, Qt::AlignHCenter);
    auto* picture = new QLabel(box);
    picture->setFixedSize(kSwitchImageWidth, kSwitchImageHeight);
    const QString position_name =
        QStringLiteral("Przełącznik %1").arg(position);
    picture->setProperty("positionName", position_name);
    const QByteArray name = "switchPosition" + QByteArray::number(position);
    Tag(picture, ids::kSwitchPositions[static_cast<std::size_t>(column)],
        name.constData(), position_name);
    grid->addWidget(picture, 1, column, Qt::AlignHCenter);
  }
  grid->addWidget(Fixed(box, "memoryMark", ToQString(kMemoryMark)), 2, 0,
                  Qt::AlignHCenter);
  grid->addWidget(Fixed(box, "tempoMark", ToQString(kTempoMark)), 2, 1, 1, 3,
                  Qt::AlignHCenter);
  grid->addWidget(Fixed(box, "startMark", ToQString(kStartMark)), 2, 4, 1, 4,
                  Qt::AlignHCenter);
  grid->addWidget(Fixed(box, "memoryMark2", ToQString(kMemoryMark)), 3, 0,
                  Qt::AlignHCenter);
  grid->addWidget(FilledText(box, ids::kSwitchTempo, "switchTempo",
                             QStringLiteral("Tempo przełącznika"), QString()),
                  3, 1, 1, 3, Qt::AlignHCenter);
  grid->addWidget(
      FilledText(box, ids::kSwitchStartPoint, "switchStartPoint",
                 QStringLiteral("Punkt startowy przełącznika"), QString()),
      3, 4, 1, 4, Qt::AlignHCenter);
  grid->addWidget(FilledText(box, ids::kMemoryKind, "memoryKind",
                             QStringLiteral("Rodzaj pamięci"), QString()),
                  4, 0, 1, 6, Qt::AlignLeft);
  grid->addWidget(
      FilledText(box, ids::kSupplyKind, "supplyKind",
                 QStringLiteral("Zasilanie"), ToQString(kSupplyUnfilledText)),
      4, 6, 1, 2, Qt::AlignRight);
  return box;
}

QGroupBox* ConfigPage::BuildAccessPointBox() {
  QGroupBox* box = Box(this, "accessPointBox",
                       QStringLiteral("Numer Punktu Dostępowego (Radio)"));
  auto* layout = new QHBoxLayout(box);
  layout->addWidget(edits_->Edit(ids::kAccessPointHigh));
  layout->addWidget(edits_->Edit(ids::kAccessPointMiddle));
  layout->addWidget(edits_->Edit(ids::kAccessPointLow));
  layout->addStretch(1);
  layout->addWidget(JobButton(box, ids::kAccessPointReset, "accessPointReset",
                              QStringLiteral("Reset"),
                              WithoutEditor(StartAccessPointReset)));
  return box;
}

QGroupBox* ConfigPage::BuildClockBox() {
  QGroupBox* box =
      Box(this, "clockBox", QStringLiteral("Zegar Czasu Rzeczywistego"));
  auto* layout = new QGridLayout(box);
  QLabel* clock = SunkenText(box, ids::kClock, "clock", QStringLiteral("Zegar"),
                             ToQString(kClockUnfilledText));
  clock->setAlignment(Qt::AlignCenter);
  clock->setMinimumWidth(
      clock->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 20);
  layout->addWidget(clock, 0, 0, 1, 2);
  layout->addWidget(
      JobButton(box, ids::kSetClock, "setClock", QStringLiteral("Ustaw czas"),
                WithoutEditor(StartWriteClock)),
      1, 0);
  layout->addWidget(
      JobButton(box, ids::kReadClock, "readClock",
                QStringLiteral("Czytaj czas"), WithoutEditor(StartReadClock)),
      1, 1);
  return box;
}

QGroupBox* ConfigPage::BuildStartPointBox() {
  QGroupBox* box =
      Box(this, "startPointBox", QStringLiteral("Punkty Startowe"));
  auto* layout = new QVBoxLayout(box);
  layout->setSpacing(4);
  auto* index_mode = new QCheckBox(ToQString(kIndexModeCaption), box);
  Tag(index_mode, ids::kIndexMode, "indexMode", ToQString(kIndexModeCaption));
  connect(index_mode, &QCheckBox::toggled, this, [this](bool checked) {
    context_.workspace.config_page.index_mode = checked;
  });
  layout->addWidget(index_mode);

  auto* columns = new QHBoxLayout;
  columns->setSpacing(18);
  for (int column = 0; column < 2; ++column) {
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(5);
    const QByteArray suffix = QByteArray::number(column + 1);
    grid->addWidget(
        Fixed(box, "segmentHeading" + suffix, QStringLiteral("Segment")), 0, 1,
        Qt::AlignHCenter);
    grid->addWidget(
        Fixed(box, "commandHeading" + suffix, QStringLiteral("Komenda")), 0, 2,
        Qt::AlignHCenter);
    grid->addWidget(
        Fixed(box, "startHeading" + suffix, QStringLiteral("Uruchom")), 0, 3,
        Qt::AlignHCenter);
    for (int row = 1; row <= 8; ++row) {
      const int n = column * 8 + row;
      const auto at = static_cast<std::size_t>(n - 1);
      grid->addWidget(RowNumber(box, "startRow", n), row, 0, Qt::AlignRight);
      grid->addWidget(edits_->Edit(ids::kStartSegments[at]), row, 1);
      grid->addWidget(edits_->Edit(ids::kStartCommands[at]), row, 2);
      const QByteArray name = "startButton" + QByteArray::number(n);
      grid->addWidget(JobButton(box, ids::kStartButtons[at], name.constData(),
                                ToQString(kStartButtonCaptions[at]),
                                [n](LinkContext& context, const EditorSide&) {
                                  return StartRunStartPoint(context, n);
                                }),
                      row, 3);
    }
    columns->addLayout(grid);
  }
  columns->addStretch(1);
  layout->addLayout(columns);
  return box;
}

QGroupBox* ConfigPage::BuildTempoBox() {
  QGroupBox* box = Box(this, "tempoBox", QStringLiteral("Mnożniki tempa"));
  auto* grid = new QGridLayout(box);
  grid->setVerticalSpacing(2);
  for (int n = 1; n <= 8; ++n) {
    const auto at = static_cast<std::size_t>(n - 1);
    grid->addWidget(RowNumber(box, "tempoRow", n), n, 0, Qt::AlignRight);
    grid->addWidget(edits_->Edit(ids::kMultipliers[at]), n, 1);
    const QByteArray name = "tempoButton" + QByteArray::number(n);
    grid->addWidget(JobButton(box, ids::kTempoButtons[at], name.constData(),
                              ToQString(kTempoButtonCaptions[at]),
                              [n](LinkContext& context, const EditorSide&) {
                                return StartSelectTempo(context, n);
                              }),
                    n, 2);
  }
  grid->setColumnStretch(3, 1);
  return box;
}

}  // namespace lumera
