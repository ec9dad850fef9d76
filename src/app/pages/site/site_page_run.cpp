// The site page's runs: a job asked for, its plan confirmed, the lines'
// events shown as they come, the summary and the report at its end.
#include <QColor>
#include <QLabel>

#include "app/pages/page_events.h"
#include "app/pages/site/site_page.h"
#include "app/pages/site/site_run_progress.h"
#include "app/pages/site/site_table_model.h"
#include "app/session/prompts.h"
#include "app/session/site_runner.h"
#include "app/widgets/qt_text.h"
#include "app/widgets/shown_text_accessible.h"
#include "core/site/run/site_operation.h"
#include "core/site/run/site_report.h"

namespace lumera {
namespace {

QString Caption(SiteCommand command) {
  switch (command) {
    case SiteCommand::kStatus:
      return QStringLiteral("Stan");
    case SiteCommand::kUpload:
      return QStringLiteral("Wyślij");
    case SiteCommand::kVerify:
      return QStringLiteral("Sprawdź");
    case SiteCommand::kBackup:
      return QStringLiteral("Kopia");
    case SiteCommand::kClockSet:
      return QStringLiteral("Ustaw zegary");
  }
  return {};
}

QString Lines(const std::vector<std::string>& texts) {
  QString joined;
  for (const std::string& text : texts) joined += ToQString(text) + '\n';
  return joined;
}

}  // namespace

void SitePage::OnJob(SiteCommand command, bool resume) {
  if (runner_->running() || site_path_.empty()) return;
  if (!MayLeaveChanges()) return;
  const QString caption =
      resume ? QStringLiteral("Wznów (%1)").arg(Caption(command))
             : Caption(command);
  SiteOperationSettings settings;
  settings.site_file = site_path_;
  settings.command = command;
  settings.resume = resume;
  settings.timeout_ms = timeout_ms_;
  settings.port_roots = DefaultPortRoots();
  if (command == SiteCommand::kBackup) {
    FileDialogRequest request;
    request.title = QStringLiteral("Kopia: katalog kopii sterowników");
    request.start_name = ToQString(site_path_.parent_path().string());
    const std::optional<QString> folder =
        context_.prompts.ChooseFolder(request);
    if (!folder) return;
    settings.backup_dir = std::filesystem::path(folder->toStdString());
  }

  switch (runner_->Prepare(std::move(settings))) {
    case SitePreparation::kReady:
      break;
    case SitePreparation::kSiteFaults: {
      QStringList faults;
      for (const SiteFault& fault : runner_->operation()->faults()) {
        faults << ToQString(SiteFaultText(site_path_, fault));
      }
      runner_->Drop();
      ShowFaults(QStringLiteral("%1: plik obiektu zawiera błędy; nic nie "
                                "zostało wysłane.")
                     .arg(caption),
                 faults);
      return;
    }
    case SitePreparation::kRefused:
      context_.prompts.Warn(caption,
                            ToQString(runner_->operation()->refusal()));
      runner_->Drop();
      return;
    case SitePreparation::kAllVerified:
      ShowSummary(QStringLiteral("%1: %2").arg(
                      caption, ToQString(std::string(kAllVerifiedText))),
                  QColor(0x2e, 0x9d, 0x3a));
      emit context_.events.statusText(ToQString(kAllVerifiedText));
      runner_->Drop();
      return;
  }
  SiteOperation& operation = *runner_->operation();
  const std::vector<SitePlanLine> plan = operation.Plan();
  if (SiteCommandWrites(command) &&
      !context_.prompts.AskYesNo(
          caption, Lines(operation.notes()) +
                       ToQString(SitePlanText(plan, command, site_path_)) +
                       QStringLiteral("\nWykonać?"))) {
    runner_->Drop();
    emit context_.events.statusText(
        QStringLiteral("Polecenie nie zostało wykonane."));
    return;
  }
  ShowFaults({}, {});
  table_model_->Planned(plan);
  std::vector<std::string> names;
  for (const SiteLine& line : operation.site().lines) {
    names.push_back(line.name);
  }
  std::string refusal;
  run_command_ = command;
  aborted_ = false;
  has_report_ = false;
  run_clock_.start();
  if (!runner_->Start(refusal)) {
    table_model_->RunEnded({});
    context_.prompts.Warn(caption, ToQString(refusal));
    UpdateButtons();
    return;
  }
  progress_->Reset(names, runner_->operation()->Progress());
  ShowSummary(QStringLiteral("%1: w toku…").arg(caption), QColor());
  emit context_.events.statusText(
      QStringLiteral("Obiekt: %1 w toku.").arg(caption));
  UpdateButtons();
}

void SitePage::OnAbort() {
  if (!runner_->running()) return;
  aborted_ = true;
  runner_->Abort();
  ShowSummary(QStringLiteral("%1: przerywanie…").arg(Caption(run_command_)),
              QColor());
}

void SitePage::OnRunEnded() {
  SiteOperation& operation = *runner_->operation();
  const std::vector<SiteRow>& rows = operation.Finish();
  table_model_->RunEnded(rows);
  const std::vector<SiteLineProgress> progress = operation.Progress();
  for (std::size_t line = 0; line < progress.size(); ++line) {
    progress_->Show(line, progress[line]);
  }
  has_report_ = true;
  QString text = QStringLiteral("%1: %2 po %3 s; %4.")
                     .arg(Caption(run_command_),
                          aborted_ ? QStringLiteral("przerwane")
                                   : QStringLiteral("zakończone"),
                          QString::number(run_clock_.elapsed() / 1000.0, 'f', 1)
                              .replace('.', ','),
                          ToQString(SiteOutcomeCounts(rows)));
  std::string error;
  if (run_command_ == SiteCommand::kBackup &&
      !operation.WriteBackupManifest(error)) {
    text += ' ' + ToQString(error);
  }
  if (operation.journal_failed()) {
    text += ' ' + ToQString(operation.JournalFailureText()) + '.';
  }
  QColor colour;
  switch (operation.Verdict()) {
    case SiteVerdict::kSucceeded:
      colour =
          error.empty() ? QColor(0x2e, 0x9d, 0x3a) : QColor(0xd0, 0x30, 0x30);
      break;
    case SiteVerdict::kDiffers:
      colour = QColor(0xe0, 0x9b, 0x10);
      break;
    case SiteVerdict::kFailed:
      colour = QColor(0xd0, 0x30, 0x30);
      break;
  }
  ShowSummary(text, colour);
  emit context_.events.statusText(text);
  if (SiteCommandWrites(run_command_)) ShowJournal();
  UpdateButtons();
}

void SitePage::OnReport() {
  const SiteOperation* operation = runner_->operation();
  if (!has_report_ || operation == nullptr || runner_->running()) return;
  FileDialogRequest request;
  request.title = QStringLiteral("Raport zadania");
  request.filters = {QStringLiteral("Raport CSV (*.csv)"),
                     QStringLiteral("Raport JSON (*.json)")};
  request.default_suffix = QStringLiteral("csv");
  request.start_name = ToQString(
      (site_path_.parent_path() / (site_path_.stem().string() + ".csv"))
          .string());
  const std::optional<QString> chosen =
      context_.prompts.ChooseSaveFile(request);
  if (!chosen) return;
  std::string error;
  if (!operation->WriteReport(std::filesystem::path(chosen->toStdString()),
                              error)) {
    context_.prompts.Warn(QStringLiteral("Raport zadania"), ToQString(error));
    return;
  }
  emit context_.events.statusText(
      QStringLiteral("Raport zapisany: %1.").arg(*chosen));
}

void SitePage::ShowSummary(const QString& text, const QColor& colour) {
  SetShownText(summary_, text);
  summary_mark_->setPixmap(colour.isValid() ? SiteStateMark(colour)
                                            : QPixmap());
  summary_box_->show();
}

}  // namespace lumera
