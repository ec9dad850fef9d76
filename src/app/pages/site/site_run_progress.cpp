#include "app/pages/site/site_run_progress.h"

#include <QProgressBar>
#include <QVBoxLayout>

#include "app/widgets/qt_text.h"

namespace lumera {

SiteRunProgress::SiteRunProgress(QWidget* parent)
    : QWidget(parent), layout_(new QVBoxLayout(this)) {
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(2);
}

void SiteRunProgress::Reset(const std::vector<std::string>& names,
                            const std::vector<SiteLineProgress>& start) {
  for (QProgressBar* bar : bars_) delete bar;
  bars_.assign(names.size(), nullptr);
  names_ = names;
  for (std::size_t line = 0; line < names.size() && line < start.size();
       ++line) {
    if (start[line].total == 0) continue;
    auto* bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("siteLineProgress%1").arg(line));
    bar->setAccessibleName(
        QStringLiteral("Postęp linii %1").arg(ToQString(names[line])));
    bar->setTextVisible(true);
    bar->setMaximumHeight(bar->fontMetrics().height() + 6);
    layout_->addWidget(bar);
    bars_[line] = bar;
    Show(line, start[line]);
  }
}

void SiteRunProgress::Show(std::size_t line, const SiteLineProgress& progress) {
  QProgressBar* bar = Bar(line);
  if (bar == nullptr) return;
  bar->setRange(0, progress.total);
  bar->setValue(progress.done);
  QString text = QStringLiteral("%1: %2/%3")
                     .arg(ToQString(names_[line]))
                     .arg(progress.done)
                     .arg(progress.total);
  if (progress.current != 0) {
    text += QStringLiteral(", sterownik %1").arg(progress.current);
  }
  if (progress.failures != 0) {
    text += QStringLiteral(", błędy %1").arg(progress.failures);
  }
  bar->setFormat(text);
}

QProgressBar* SiteRunProgress::Bar(std::size_t line) const {
  return line < bars_.size() ? bars_[line] : nullptr;
}

}  // namespace lumera
