#include "core/site/run/site_run.h"

#include <algorithm>
#include <map>

#include "core/link/port_owners.h"
#include "core/model/atomic_file.h"
#include "core/model/program_file.h"

namespace lumera {
SiteRun::SiteRun(SiteRunSettings settings)
    : settings_(std::move(settings)),
      journal_path_(JournalPathFor(settings_.site_file)) {}

SiteRun::~SiteRun() {
  lines_.reset();
  ReleasePorts();
}

std::string SiteRun::Caption() const {
  const std::string caption(SiteCommandInfoOf(settings_.command).caption);
  return settings_.resume ? "Wznów (" + caption + ")" : caption;
}

SitePreparation SiteRun::Prepare() {
  const SiteCommandInfo& info = SiteCommandInfoOf(settings_.command);
  SiteParseResult parsed = LoadSiteFile(
      settings_.site_file, info.needs_programs, settings_.port_roots);
  if (!parsed.site) {
    faults_ = std::move(parsed.faults);
    return SitePreparation::kSiteFaults;
  }
  site_ = std::move(parsed.site);

  // Before the journal is read, so that what is chosen from it stays true
  // until the run ends.
  switch (lock_.Take(settings_.site_file)) {
    case SiteLock::Result::kTaken:
      break;
    case SiteLock::Result::kHeld:
      refusal_ = "Obiekt " + settings_.site_file.string() +
                 " jest już obsługiwany przez inne uruchomienie" +
                 (lock_.holder().empty() ? "" : " (" + lock_.holder() + ")") +
                 "; nic nie zostało wysłane.";
      return SitePreparation::kRefused;
    case SiteLock::Result::kFailed:
      refusal_ = "Nie można utworzyć blokady " +
                 LockPathFor(settings_.site_file).string() + ": " +
                 lock_.error();
      return SitePreparation::kRefused;
  }

  std::filesystem::path unreadable;
  if (!programs_.Load(*site_, unreadable)) {
    refusal_ = std::string(kProgramLoadFailedText) + " " + unreadable.string();
    return SitePreparation::kRefused;
  }
  if (info.needs_programs && !settings_.any_size) {
    faults_ = programs_.SizeFaults();
    if (!faults_.empty()) return SitePreparation::kSiteFaults;
  }
  if (info.needs_folder) {
    std::error_code error;
    std::filesystem::create_directories(settings_.backup_dir, error);
    if (error) {
      refusal_ = "Nie można utworzyć katalogu " +
                 settings_.backup_dir.string() + ": " + error.message();
      return SitePreparation::kRefused;
    }
  }
  run_id_ = NewRunId();
  user_ = CurrentUserName();
  host_ = CurrentHostName();
  if (settings_.resume && info.writes) {
    if (!SelectForResume()) return SitePreparation::kRefused;
    if (only_ && only_->empty()) return SitePreparation::kAllVerified;
  }
  return SitePreparation::kReady;
}

bool SiteRun::SelectForResume() {
  const std::optional<JournalContents> journal = ReadJournalFile(journal_path_);
  if (!journal) {
    refusal_ = "Błąd odczytu dziennika " + journal_path_.string() +
               "; nic nie zostało wysłane.";
    return false;
  }
  for (const int line : journal->skipped_lines) {
    notes_.push_back("Dziennik " + journal_path_.string() + ", wiersz " +
                     std::to_string(line) +
                     ": nie jest wpisem dziennika, pominięty.");
  }
  std::map<ControllerKey, std::string> sums;
  for (const SiteLine& line : site_->lines) {
    for (const SiteController& c : line.controllers) {
      const SiteProgram* program = programs_.Find(c.program);
      if (SiteCommandInfoOf(settings_.command).needs_programs &&
          program != nullptr) {
        sums[{line.name, c.number}] = program->sha256;
      }
    }
  }
  const std::string_view job = SiteCommandInfoOf(settings_.command).word;
  const ResumePoint point = FindResumePoint(journal->entries, job, sums);
  if (point.run.empty()) {
    notes_.push_back("Dziennik nie zawiera poprzedniego " + std::string(job) +
                     ": wszystkie sterowniki.");
    return true;
  }
  run_id_ = point.run;
  only_.emplace();
  for (const SiteLine& line : site_->lines) {
    for (const SiteController& c : line.controllers) {
      if (!point.finished.contains({line.name, c.number})) {
        only_->insert({line.name, c.number});
      }
    }
  }
  return true;
}

std::vector<SitePlanLine> SiteRun::Plan() const {
  std::vector<SitePlanLine> plan;
  if (!site_) return plan;
  for (const SiteLine& line : site_->lines) {
    SitePlanLine planned{line.name, line.port, {}};
    for (const SiteController& c : line.controllers) {
      if (!only_ || only_->contains({line.name, c.number})) {
        planned.controllers.push_back(c);
      }
    }
    if (!planned.controllers.empty()) plan.push_back(std::move(planned));
  }
  return plan;
}

JournalEntry SiteRun::Entry(JournalEvent event, const SiteRow* row) const {
  JournalEntry entry;
  entry.event = event;
  entry.time = UtcTimeNow();
  entry.user = user_;
  entry.host = host_;
  entry.run = run_id_;
  entry.job = std::string(SiteCommandInfoOf(settings_.command).word);
  if (row != nullptr) {
    entry.line = row->line;
    entry.port = row->port;
    entry.controller = row->controller;
    if (SiteCommandInfoOf(settings_.command).needs_programs) {
      entry.program_sha256 = row->program_sha256;
    }
  }
  return entry;
}

std::string SiteRun::JournalFailureText() const {
  return "Błąd zapisu dziennika " + journal_path_.string() +
         (journal_ ? ": " + journal_->error() : std::string());
}

std::string SiteRun::JournalBegun(const SiteRow& row) {
  if (journal_->Append(Entry(JournalEvent::kBegun, &row))) return {};
  journal_failed_.store(true);
  return JournalFailureText();
}

void SiteRun::JournalEnded(const SiteRow& row) {
  JournalEntry entry = Entry(JournalEvent::kOutcome, &row);
  entry.outcome = std::string(SiteOutcomeText(row.outcome));
  if (!row.failure.empty()) entry.outcome += ": " + row.failure;
  if (!journal_->Append(entry)) journal_failed_.store(true);
}

std::string SiteRun::PlanText() const {
  return SitePlanText(Plan(), settings_.command, settings_.site_file,
                      &programs_);
}

std::string SiteRun::PlanQuestion() const {
  std::string text;
  for (const std::string& note : notes_) text += note + "\n";
  return text + PlanText();
}

bool SiteRun::Start() {
  if (!site_ || lines_) return false;
  const SiteCommandInfo& info = SiteCommandInfoOf(settings_.command);
  if (settings_.port_owners != nullptr) {
    std::vector<std::string> ports;
    for (const SitePlanLine& line : Plan()) ports.push_back(line.port);
    if (const std::optional<PortRefusal> held = settings_.port_owners->Take(
            settings_.owner, ports, settings_.port_roots)) {
      refusal_ = PortRefusalText(*held);
      return false;
    }
    ports_held_ = true;
  }
  SiteLinesHooks hooks;
  hooks.programs = &programs_;
  if (only_) {
    hooks.only_given = true;
    hooks.only = *only_;
  }
  if (info.writes) {
    journal_ = std::make_unique<JournalWriter>(journal_path_);
    JournalEntry start = Entry(JournalEvent::kStart, nullptr);
    if (info.needs_programs) {
      for (const auto& [file, program] : programs_.all()) {
        start.programs.emplace_back(
            ProgramNameInSite(file, settings_.site_file), program->sha256);
      }
    }
    if (!journal_->Append(start)) {
      refusal_ = JournalFailureText() + "; nic nie zostało wysłane.";
      ReleasePorts();
      return false;
    }
    hooks.on_begun = [this](const SiteRow& row, std::string_view) {
      return JournalBegun(row);
    };
    hooks.on_write = [this](const SiteRow& row, std::string_view) {
      JournalEnded(row);
    };
  }
  started_at_ = std::chrono::steady_clock::now();
  lines_ = std::make_unique<SiteLines>(*site_, settings_, std::move(hooks));
  lines_->Start();
  return true;
}

void SiteRun::Abort() {
  if (!lines_ || ended_) return;
  aborted_ = true;
  lines_->Abort();
}

bool SiteRun::Finished() const { return !lines_ || lines_->Finished(); }

std::vector<SiteLineProgress> SiteRun::Progress() const {
  return lines_ ? lines_->Progress() : std::vector<SiteLineProgress>{};
}

const std::vector<SiteRow>& SiteRun::Finish() {
  if (!lines_ || ended_) return rows_;
  lines_->Join();
  rows_ = lines_->Rows();
  seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() -
                                           started_at_)
                 .count();
  if (SiteCommandInfoOf(settings_.command).needs_folder) {
    const std::filesystem::path file = settings_.backup_dir / "MANIFEST.sha256";
    FileWriteError failure;
    if (WriteFileAtomically(file, BackupManifest(rows_, settings_.backup_dir),
                            &failure) != AtomicWriteResult::kOk) {
      manifest_error_ = std::string(kProgramSaveFailedText) + " " +
                        FileWriteErrorText(failure);
    }
  }
  lock_.Release();
  ReleasePorts();
  ended_ = true;
  return rows_;
}

void SiteRun::ReleasePorts() {
  if (!ports_held_) return;
  settings_.port_owners->Release(settings_.owner);
  ports_held_ = false;
}

bool SiteRun::WriteReport(const std::filesystem::path& file,
                          std::string& error) const {
  const std::string text = file.extension() == ".json" ? SiteReportJson(rows_)
                                                       : SiteReportCsv(rows_);
  FileWriteError failure;
  if (WriteFileAtomically(file, text, &failure) == AtomicWriteResult::kOk) {
    return true;
  }
  error =
      std::string(kProgramSaveFailedText) + " " + FileWriteErrorText(failure);
  return false;
}

SiteVerdict SiteRun::Verdict() const { return Summary().verdict; }

SiteSummary SiteRun::Summary() const {
  const std::string caption(SiteCommandInfoOf(settings_.command).caption);
  return SiteSummaryOf(
      rows_, {.caption = caption,
              .aborted = aborted_,
              .seconds = seconds_,
              .journal_failure =
                  journal_failed() ? JournalFailureText() : std::string(),
              .manifest_error = manifest_error_});
}

}  // namespace lumera
