#include "app/pages/site/site_run_panel.h"

#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/pages/page.h"
#include "app/pages/page_events.h"
#include "app/pages/site/site_page_ids.h"
#include "app/pages/site/site_run_progress.h"
#include "app/pages/site/site_table_model.h"
#include "app/pages/site/site_view_columns.h"
#include "app/session/job_launcher.h"
#include "app/session/prompts.h"
#include "app/session/site_runner.h"
#include "app/widgets/qt_text.h"
#include "app/widgets/shown_text_accessible.h"
#include "app/widgets/small_widgets.h"
#include "core/session/job_runner.h"
#include "core/site/run/site_installation.h"

namespace lumera {
namespace {

namespace ids = site_page_ids;

// "clock-set" as an object name's tail: "ClockSet".
QString NamePart(std::string_view word) {
  QString name;
  bool upper = true;
  for (const char c : word) {
    if (c == '-') {
      upper = true;
      continue;
    }
    name += upper ? QChar(c).toUpper() : QChar(c);
    upper = false;
  }
  return name;
}

QColor VerdictColour(SiteVerdict verdict) {
  switch (verdict) {
    case SiteVerdict::kSucceeded:
      return QColor(0x2e, 0x9d, 0x3a);
    case SiteVerdict::kDiffers:
      return QColor(0xe0, 0x9b, 0x10);
    case SiteVerdict::kFailed:
      break;
  }
  return QColor(0xd0, 0x30, 0x30);
}

}  // namespace

SiteRunPanel::SiteRunPanel(PageContext& context, Hooks hooks, Page* page)
    : QWidget(page),
      context_(context),
      page_(page),
      hooks_(std::move(hooks)),
      table_model_(new SiteTableModel(this)),
      runner_(new SiteRunner(context.launcher.port_owners(), this)) {
  // The jobs come with the journal that makes them safe to resume.
  auto* buttons = new QHBoxLayout;
  std::size_t index = 0;
  for (const SiteCommandInfo& info : SiteCommands()) {
    const QString caption =
        ToQString(std::string(info.caption)) +
        (info.needs_folder ? QStringLiteral("…") : QString());
    const QByteArray object_name =
        (QStringLiteral("site") + NamePart(info.word)).toLatin1();
    QPushButton* button = Button(this, ids::kCommandButtons.at(index++),
                                 object_name.constData(), caption);
    button->setToolTip(ToQString(std::string(info.tooltip)));
    connect(button, &QPushButton::clicked, this,
            [this, command = info.command] { OnJob(command, false); });
    buttons->addWidget(button);
  }
  QPushButton* resume =
      Button(this, ids::kResume, "siteResume", QStringLiteral("Wznów"));
  QPushButton* abort =
      Button(this, ids::kAbort, "siteAbort", QStringLiteral("Przerwij"));
  QPushButton* report =
      Button(this, ids::kReport, "siteReport", QStringLiteral("Raport…"));
  buttons->addWidget(resume);
  buttons->addSpacing(12);
  buttons->addWidget(abort);
  buttons->addWidget(report);
  buttons->addStretch(1);
  for (const int id : ids::kJobButtons) page_->Control(id)->setEnabled(false);
  connect(resume, &QPushButton::clicked, this, [this] {
    if (resume_command_) OnJob(*resume_command_, true);
  });
  connect(abort, &QPushButton::clicked, this, &SiteRunPanel::OnAbort);
  connect(report, &QPushButton::clicked, this, &SiteRunPanel::OnReport);

  progress_ = Tag(new SiteRunProgress(this), ids::kRunProgress,
                  "siteRunProgress", QStringLiteral("Postęp linii"));
  // What the run came to: the verdict's mark, then its words.
  summary_box_ = new QWidget(this);
  summary_mark_ = new QLabel(summary_box_);
  summary_ = SunkenText(summary_box_, ids::kSummary, "siteSummary",
                        QStringLiteral("Wynik zadania"), QString());
  summary_->setWordWrap(true);
  auto* summary_row = new QHBoxLayout(summary_box_);
  summary_row->setContentsMargins(0, 0, 0, 0);
  summary_row->addWidget(summary_mark_);
  summary_row->addWidget(summary_, 1);
  summary_box_->hide();

  table_view_ =
      TableLike<QTableView>(this, ids::kInstallation, "siteInstallation",
                            QStringLiteral("Sterowniki obiektu"));
  table_view_->setModel(table_model_);
  table_view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_view_->verticalHeader()->hide();
  table_view_->horizontalHeader()->setStretchLastSection(true);
  table_view_->verticalHeader()->setDefaultSectionSize(
      table_view_->fontMetrics().height() + 6);
  FitColumns(table_view_, table_view_->horizontalHeader(),
             {12, 6, 20, 8, 8, 14, 16, 24});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(progress_);
  layout->addWidget(summary_box_);
  layout->addWidget(table_view_, 1);

  // The lines' events, on this thread.
  connect(runner_, &SiteRunner::controllerBegun, this,
          [this](std::size_t line, int controller,
                 const SiteLineProgress& progress) {
            table_model_->Begun(runner_->run()->site().lines.at(line).name,
                                controller);
            progress_->Show(line, progress);
          });
  connect(runner_, &SiteRunner::controllerEnded, this,
          [this](std::size_t line, const SiteRow& row,
                 const SiteLineProgress& progress) {
            table_model_->Ended(row);
            progress_->Show(line, progress);
          });
  connect(runner_, &SiteRunner::runEnded, this, &SiteRunPanel::OnRunEnded);
}

SiteRunPanel::~SiteRunPanel() { EndNow(); }

void SiteRunPanel::EndNow() {
  // A run still under way ends with the panel, its journal written; the
  // panel no longer shows it.
  disconnect(runner_, nullptr, this, nullptr);
  runner_->EndNow();
}

void SiteRunPanel::HideRun() {
  progress_->Reset({}, {});
  summary_box_->hide();
  runner_->Drop();
}

void SiteRunPanel::ShowSite(const SiteFile& site) {
  table_model_->SetRows(InstallationRows(site));
  HideRun();
}

void SiteRunPanel::Clear() {
  table_model_->SetRows({});
  resume_command_.reset();
  HideRun();
}

void SiteRunPanel::ShowJournal(const SiteJournalView& journal) {
  table_model_->SetJournal(journal);
  resume_command_ = ResumeCommandOf(journal);
  page_->Control(ids::kResume)->setToolTip(ToQString(ResumeToolTip(journal)));
}

void SiteRunPanel::UpdateButtons() {
  const bool running = runner_->running();
  // The jobs run the file as it was read: a site shown in the table.
  const bool runnable =
      !hooks_.site_path().empty() && !running && table_model_->rowCount() > 0;
  for (const int id : ids::kCommandButtons) {
    page_->Control(id)->setEnabled(runnable);
  }
  page_->Control(ids::kResume)
      ->setEnabled(runnable && resume_command_.has_value());
  page_->Control(ids::kAbort)->setEnabled(running);
  const SiteRun* run = runner_->run();
  page_->Control(ids::kReport)
      ->setEnabled(!running && run != nullptr && run->ended());
}

void SiteRunPanel::OnJob(SiteCommand command, bool resume) {
  const std::filesystem::path site_path = hooks_.site_path();
  if (runner_->running() || site_path.empty()) return;
  if (!hooks_.may_leave_changes()) return;
  const SiteCommandInfo& info = SiteCommandInfoOf(command);
  SiteRunSettings settings;
  settings.site_file = site_path;
  settings.command = command;
  settings.resume = resume;
  settings.timeout_ms = timeout_ms_;
  settings.port_roots = DefaultPortRoots();
  if (info.needs_folder) {
    FileDialogRequest request;
    request.title = QStringLiteral("%1: katalog kopii sterowników")
                        .arg(ToQString(std::string(info.caption)));
    request.start_name = ToQString(site_path.parent_path().string());
    const std::optional<QString> folder =
        context_.prompts.ChooseFolder(request);
    if (!folder) return;
    settings.backup_dir = std::filesystem::path(folder->toStdString());
  }

  const SitePreparation prepared = runner_->Prepare(std::move(settings));
  SiteRun& run = *runner_->run();
  const QString caption = ToQString(run.Caption());
  switch (prepared) {
    case SitePreparation::kReady:
      break;
    case SitePreparation::kSiteFaults: {
      QStringList faults;
      for (const SiteFault& fault : run.faults()) {
        faults << ToQString(SiteFaultText(site_path, fault));
      }
      runner_->Drop();
      hooks_.show_faults(QStringLiteral("%1: plik obiektu zawiera błędy; nic "
                                        "nie zostało wysłane.")
                             .arg(caption),
                         faults);
      return;
    }
    case SitePreparation::kRefused:
      context_.prompts.Warn(caption, ToQString(run.refusal()));
      runner_->Drop();
      return;
    case SitePreparation::kAllVerified:
      ShowSummary(QStringLiteral("%1: %2").arg(
                      caption, ToQString(std::string(kAllVerifiedText))),
                  VerdictColour(SiteVerdict::kSucceeded));
      emit context_.events.statusText(ToQString(kAllVerifiedText));
      runner_->Drop();
      return;
  }
  if (info.writes &&
      !context_.prompts.AskYesNo(caption, ToQString(run.PlanQuestion()) +
                                              QStringLiteral("\nWykonać?"))) {
    runner_->Drop();
    emit context_.events.statusText(ToQString(kNotDoneText));
    return;
  }
  hooks_.show_faults({}, {});
  const std::vector<SitePlanLine> plan = run.Plan();
  table_model_->Planned(plan);
  if (!runner_->Start()) {
    table_model_->RunEnded({});
    context_.prompts.Warn(caption, ToQString(run.refusal()));
    runner_->Drop();
    hooks_.state_changed();
    return;
  }
  std::vector<std::string> names;
  for (const SiteLine& line : run.site().lines) names.push_back(line.name);
  progress_->Reset(names, run.Progress());
  ShowSummary(QStringLiteral("%1: w toku…").arg(caption), QColor());
  emit context_.events.statusText(
      QStringLiteral("Obiekt: %1 w toku.").arg(caption));
  hooks_.state_changed();
}

void SiteRunPanel::OnAbort() {
  if (!runner_->running()) return;
  runner_->Abort();
  ShowSummary(QStringLiteral("%1: przerywanie…")
                  .arg(ToQString(std::string(
                      SiteCommandInfoOf(runner_->run()->command()).caption))),
              QColor());
}

void SiteRunPanel::OnRunEnded() {
  const SiteRun& run = *runner_->run();
  table_model_->RunEnded(run.rows());
  const std::vector<SiteLineProgress> progress = run.Progress();
  for (std::size_t line = 0; line < progress.size(); ++line) {
    progress_->Show(line, progress[line]);
  }
  const SiteSummary summary = run.Summary();
  const QString text = ToQString(summary.text);
  ShowSummary(text, VerdictColour(summary.verdict));
  emit context_.events.statusText(text);
  if (SiteCommandInfoOf(run.command()).writes) hooks_.journal_changed();
  hooks_.state_changed();
}

void SiteRunPanel::OnReport() {
  const SiteRun* run = runner_->run();
  if (run == nullptr || !run->ended() || runner_->running()) return;
  const std::filesystem::path site_path = hooks_.site_path();
  FileDialogRequest request;
  request.title = QStringLiteral("Raport zadania");
  request.filters = {QStringLiteral("Raport CSV (*.csv)"),
                     QStringLiteral("Raport JSON (*.json)")};
  request.default_suffix = QStringLiteral("csv");
  request.start_name =
      ToQString((site_path.parent_path() / (site_path.stem().string() + ".csv"))
                    .string());
  const std::optional<QString> chosen =
      context_.prompts.ChooseSaveFile(request);
  if (!chosen) return;
  std::string error;
  if (!run->WriteReport(std::filesystem::path(chosen->toStdString()), error)) {
    context_.prompts.Warn(QStringLiteral("Raport zadania"), ToQString(error));
    return;
  }
  emit context_.events.statusText(
      QStringLiteral("Raport zapisany: %1.").arg(*chosen));
}

void SiteRunPanel::ShowSummary(const QString& text, const QColor& colour) {
  SetShownText(summary_, text);
  summary_mark_->setPixmap(colour.isValid() ? SiteStateMark(colour)
                                            : QPixmap());
  summary_box_->show();
}

}  // namespace lumera
