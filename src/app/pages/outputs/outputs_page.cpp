#include "app/pages/outputs/outputs_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/pages/outputs/outputs_page_ids.h"
#include "app/pages/page_events.h"
#include "app/pages/table_edits.h"
#include "app/session/job_launcher.h"
#include "app/widgets/control_tag.h"
#include "app/widgets/small_widgets.h"
#include "core/config/page_refresh.h"
#include "core/session/workspace.h"

namespace lumera {

namespace {

namespace ids = outputs_page_ids;

QLabel* Fixed(QWidget* parent, const QByteArray& object_name,
              const QString& text) {
  auto* label = new QLabel(text, parent);
  return Tag(label, kStaticControlId, object_name.constData(), text.trimmed());
}

}  // namespace

OutputsPage::OutputsPage(PageContext& context, QWidget* parent)
    : Page(ids::kDialog, "outputsPage", QStringLiteral("Wyjścia"), parent),
      context_(context) {
  edits_ = std::make_unique<TableEdits>(context_.workspace, OutputsPageEdits(),
                                        this, nullptr);
  auto* boxes = new QHBoxLayout;
  boxes->setSpacing(40);
  boxes->addWidget(BuildOutputsBox(), 0, Qt::AlignTop);
  boxes->addWidget(BuildReceiverTypesBox(), 0, Qt::AlignTop);

  // The boxes sit apart from the page's edges, as on the dialog.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(60, 40, 20, 20);
  auto* row = new QHBoxLayout;
  row->addLayout(boxes);
  row->addStretch(1);
  layout->addLayout(row);
  layout->addStretch(1);

  controls_ = ControlsById(this);
  QList<int> order;
  for (std::size_t at = 0; at < ids::kOutputTypes.size(); ++at) {
    order << ids::kOutputTypes[at] << ids::kOutputLimits[at]
          << ids::kOutputStates[at];
  }
  for (std::size_t at = 0; at < ids::kReceiverXs.size(); ++at) {
    order << ids::kReceiverXs[at] << ids::kReceiverYs[at];
  }
  ChainFocus(controls_, order);
  connect(&context_.events, &PageEvents::configPageRefreshed, this,
          &OutputsPage::RefreshOutputsPage);
  RefreshOutputsPage();
}

OutputsPage::~OutputsPage() = default;

void OutputsPage::RefreshOnTabChange() { RefreshOutputsPage(); }

void OutputsPage::RefreshOutputsPage() {
  ConfigPageData data = PageDataOf(context_.workspace);
  ApplyControlWrites(lumera::RefreshOutputsPage(data), controls_);
}

QGroupBox* OutputsPage::BuildOutputsBox() {
  QGroupBox* box = Box(this, "outputsBox",
                       QStringLiteral(" Konfiguracja wyjść sterownika "));
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(14);
  grid->setVerticalSpacing(4);
  grid->addWidget(Fixed(box, "typeHeading", QStringLiteral("Typ odbiornika")),
                  0, 1, Qt::AlignHCenter);
  grid->addWidget(Fixed(box, "limitHeading", QStringLiteral("Ograniczenie")), 0,
                  2, Qt::AlignHCenter);
  grid->addWidget(Fixed(box, "stateHeading", QStringLiteral("Stan")), 0, 3,
                  Qt::AlignHCenter);
  for (int n = 1; n <= 8; ++n) {
    const auto at = static_cast<std::size_t>(n - 1);
    auto* label = Fixed(box, "outputRow" + QByteArray::number(n),
                        QStringLiteral("Wyjście %1:").arg(n));
    auto* type = edits_->Edit(ids::kOutputTypes[at]);
    // A row the record has no place for reads as disabled from its label on.
    if (!type->isEnabled()) {
      label->setEnabled(false);
      label->setToolTip(type->toolTip());
    }
    grid->addWidget(label, n, 0);
    grid->addWidget(type, n, 1, Qt::AlignHCenter);
    grid->addWidget(edits_->Edit(ids::kOutputLimits[at]), n, 2,
                    Qt::AlignHCenter);
    grid->addWidget(edits_->Edit(ids::kOutputStates[at]), n, 3,
                    Qt::AlignHCenter);
  }
  return box;
}

QGroupBox* OutputsPage::BuildReceiverTypesBox() {
  QGroupBox* box =
      Box(this, "receiverTypesBox", QStringLiteral("Typy odbiorników"));
  auto* grid = new QGridLayout(box);
  grid->setHorizontalSpacing(14);
  grid->setVerticalSpacing(4);
  grid->addWidget(
      Fixed(box, "receiverType0", QStringLiteral("Typ 0           Dwustanowy")),
      0, 0, 1, 3);
  for (int t = 1; t <= 4; ++t) {
    const auto at = static_cast<std::size_t>(t - 1);
    grid->addWidget(Fixed(box, "receiverRow" + QByteArray::number(t),
                          QStringLiteral("Typ %1:").arg(t)),
                    t, 0);
    grid->addWidget(edits_->Edit(ids::kReceiverXs[at]), t, 1);
    grid->addWidget(edits_->Edit(ids::kReceiverYs[at]), t, 2);
  }
  QLabel* columns =
      Fixed(box, "receiverColumns", QStringLiteral("X            Y"));
  grid->addWidget(columns, 5, 1, 1, 2, Qt::AlignHCenter);
  return box;
}

}  // namespace lumera
