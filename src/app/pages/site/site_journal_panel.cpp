#include "app/pages/site/site_journal_panel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "app/pages/site/site_page_ids.h"
#include "app/pages/site/site_table_model.h"
#include "app/widgets/control_tag.h"
#include "app/widgets/qt_text.h"
#include "app/widgets/small_widgets.h"
#include "core/site/run/site_commands.h"

namespace lumera {
namespace {

namespace ids = site_page_ids;

enum JournalColumn { kTime, kEvent, kLine, kController, kJob, kWhat };
// An item's line and controller, for the filters.
constexpr int kLineRole = Qt::UserRole;
constexpr int kControllerRole = Qt::UserRole + 1;
constexpr int kShortSum = 12;

QString Short(const std::string& sum) { return ToQString(sum).left(kShortSum); }

QTreeWidgetItem* Item(const JournalEntry& entry) {
  QString event;
  QString what;
  switch (entry.event) {
    case JournalEvent::kStart:
      event = QStringLiteral("początek");
      for (const auto& [file, sum] : entry.programs) {
        what += (what.isEmpty() ? QString() : QStringLiteral(", ")) +
                QStringLiteral("%1 (%2)").arg(ToQString(file), Short(sum));
      }
      break;
    case JournalEvent::kBegun:
      event = QStringLiteral("rozpoczęty");
      if (!entry.program_sha256.empty()) {
        what = QStringLiteral("program %1").arg(Short(entry.program_sha256));
      }
      break;
    case JournalEvent::kOutcome:
      event = QStringLiteral("wynik");
      what = ToQString(entry.outcome);
      break;
  }
  const bool start = entry.event == JournalEvent::kStart;
  auto* item = new QTreeWidgetItem(
      {SiteLocalTime(entry.time), event, ToQString(entry.line),
       start ? QString() : QString::number(entry.controller),
       ToQString(SiteJobCaption(entry.job)), what});
  item->setToolTip(kWhat, what);
  item->setToolTip(kEvent,
                   QStringLiteral("Uruchomienie %1").arg(ToQString(entry.run)));
  item->setData(0, kLineRole, ToQString(entry.line));
  item->setData(0, kControllerRole, start ? 0 : entry.controller);
  if (start) {
    QFont font = item->font(0);
    font.setBold(true);
    for (int column = 0; column <= kWhat; ++column) item->setFont(column, font);
  }
  return item;
}

// Puts `values` after the first entry ("wszystkie"), keeping the choice.
void Refill(QComboBox* box, const QStringList& values) {
  const QString chosen =
      box->currentIndex() > 0 ? box->currentText() : QString();
  while (box->count() > 1) box->removeItem(1);
  box->addItems(values);
  const int again = chosen.isEmpty() ? -1 : box->findText(chosen);
  box->setCurrentIndex(again > 0 ? again : 0);
}

}  // namespace

SiteJournalPanel::SiteJournalPanel(QWidget* parent) : QWidget(parent) {
  line_filter_ = Tag(new QComboBox(this), ids::kJournalLine, "siteJournalLine",
                     QStringLiteral("Linia dziennika"));
  controller_filter_ =
      Tag(new QComboBox(this), ids::kJournalController, "siteJournalController",
          QStringLiteral("Sterownik dziennika"));
  line_filter_->addItem(QStringLiteral("wszystkie"));
  controller_filter_->addItem(QStringLiteral("wszystkie"));
  line_filter_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  controller_filter_->setSizeAdjustPolicy(QComboBox::AdjustToContents);

  list_ = Tag(new QTreeWidget(this), ids::kJournal, "siteJournal",
              QStringLiteral("Dziennik obiektu"));
  list_->setAlternatingRowColors(true);
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QStringLiteral("Czas"), QStringLiteral("Zdarzenie"),
                          QStringLiteral("Linia"), QStringLiteral("Sterownik"),
                          QStringLiteral("Zadanie"), QStringLiteral("Wynik")});
  // Each column as wide as its widest usual text or its heading.
  const char* widest[] = {"2026-12-08 09:49:06", "rozpoczęty", "hala-a-01",
                          "254", "Ustaw zegary"};
  for (int column = 0; column < kWhat; ++column) {
    const QString heading = list_->headerItem()->text(column);
    list_->header()->resizeSection(
        column,
        std::max(list_->fontMetrics().horizontalAdvance(
                     QString::fromUtf8(widest[column])),
                 list_->header()->fontMetrics().horizontalAdvance(heading)) +
            24);
  }
  unreadable_ =
      Label(this, "siteJournalUnreadable",
            QStringLiteral("Dziennika obiektu nie można odczytać."), list_);
  unreadable_->hide();

  auto* filters = new QHBoxLayout;
  filters->addWidget(Label(this, "siteJournalLineLabel",
                           QStringLiteral("Linia:"), line_filter_));
  filters->addWidget(line_filter_);
  filters->addSpacing(12);
  filters->addWidget(Label(this, "siteJournalControllerLabel",
                           QStringLiteral("Sterownik:"), controller_filter_));
  filters->addWidget(controller_filter_);
  filters->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filters);
  layout->addWidget(unreadable_);
  layout->addWidget(list_, 1);

  connect(line_filter_, &QComboBox::currentIndexChanged, this,
          &SiteJournalPanel::Filter);
  connect(controller_filter_, &QComboBox::currentIndexChanged, this,
          &SiteJournalPanel::Filter);
}

void SiteJournalPanel::Show(const SiteJournalView& journal) {
  list_->clear();
  std::set<std::string> lines;
  std::set<int> controllers;
  for (const JournalEntry& entry : journal.rows) {
    list_->addTopLevelItem(Item(entry));
    if (entry.event == JournalEvent::kStart) continue;
    lines.insert(entry.line);
    controllers.insert(entry.controller);
  }
  QStringList line_names;
  for (const std::string& line : lines) line_names << ToQString(line);
  QStringList numbers;
  for (const int controller : controllers)
    numbers << QString::number(controller);
  {
    const QSignalBlocker block_lines(line_filter_);
    const QSignalBlocker block_controllers(controller_filter_);
    Refill(line_filter_, line_names);
    Refill(controller_filter_, numbers);
  }
  unreadable_->setVisible(!journal.readable);
  Filter();
}

void SiteJournalPanel::Clear() { Show({}); }

void SiteJournalPanel::Filter() {
  const bool any_line = line_filter_->currentIndex() <= 0;
  const bool any_controller = controller_filter_->currentIndex() <= 0;
  const QString line = line_filter_->currentText();
  const int controller = controller_filter_->currentText().toInt();
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = list_->topLevelItem(i);
    const int number = item->data(0, kControllerRole).toInt();
    const bool start = number == 0;
    const bool shown =
        start || ((any_line || item->data(0, kLineRole).toString() == line) &&
                  (any_controller || number == controller));
    item->setHidden(!shown);
  }
}

}  // namespace lumera
