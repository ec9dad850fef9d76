#include "core/site/run/site_operation.h"

#include <algorithm>
#include <map>

#include "core/model/atomic_file.h"
#include "core/model/program_file.h"
#include "core/site/run/site_report.h"

namespace lumera {
namespace {

// The program file as the site file names it: relative to the site file.
std::string ProgramName(const std::filesystem::path& program,
                        const std::filesystem::path& site_file) {
  const std::filesystem::path base = site_file.parent_path();
  if (base.empty()) return program.generic_string();
  const std::filesystem::path relative = program.lexically_relative(base);
  return relative.empty() ? program.generic_string()
                          : relative.generic_string();
}

}  // namespace

std::string_view SiteCommandName(SiteCommand command) {
  switch (command) {
    case SiteCommand::kStatus:
      return "status";
    case SiteCommand::kUpload:
      return "upload";
    case SiteCommand::kVerify:
      return "verify";
    case SiteCommand::kBackup:
      return "backup";
    case SiteCommand::kClockSet:
      return "clock-set";
  }
  return {};
}

std::optional<SiteCommand> SiteCommandNamed(std::string_view name) {
  for (const SiteCommand command :
       {SiteCommand::kStatus, SiteCommand::kUpload, SiteCommand::kVerify,
        SiteCommand::kBackup, SiteCommand::kClockSet}) {
    if (SiteCommandName(command) == name) return command;
  }
  return std::nullopt;
}

std::string SitePlanText(const std::vector<SitePlanLine>& plan,
                         SiteCommand command,
                         const std::filesystem::path& site_file) {
  std::string text = command == SiteCommand::kUpload
                         ? "Plan: wysłanie programu\n"
                         : "Plan: ustawienie zegara\n";
  for (const SitePlanLine& line : plan) {
    text += "linia " + line.name + " (" + line.port + "):";
    // Programs in the order they first come; each with its numbers, a run
    // of consecutive ones as a range.
    std::vector<std::pair<std::filesystem::path, std::vector<int>>> groups;
    for (const SiteController& c : line.controllers) {
      const std::filesystem::path program =
          command == SiteCommand::kUpload ? c.program : std::filesystem::path();
      auto group =
          std::find_if(groups.begin(), groups.end(),
                       [&](const auto& g) { return g.first == program; });
      if (group == groups.end()) {
        groups.push_back({program, {}});
        group = groups.end() - 1;
      }
      group->second.push_back(c.number);
    }
    const char* between = " ";
    for (const auto& [program, numbers] : groups) {
      text += between;
      between = "; ";
      text += numbers.size() == 1 ? "sterownik " : "sterowniki ";
      for (std::size_t i = 0; i < numbers.size();) {
        std::size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
        if (i != 0) text += ", ";
        text += std::to_string(numbers[i]);
        if (j > i) {
          text += '-';
          text += std::to_string(numbers[j]);
        }
        i = j + 1;
      }
      if (!program.empty()) text += ": " + ProgramName(program, site_file);
    }
    text += "\n";
  }
  return text;
}

bool SiteCommandWrites(SiteCommand command) {
  return command == SiteCommand::kUpload || command == SiteCommand::kClockSet;
}

SiteOperation::SiteOperation(SiteOperationSettings settings)
    : settings_(std::move(settings)),
      journal_path_(JournalPathFor(settings_.site_file)) {}

SiteOperation::~SiteOperation() { run_.reset(); }

SitePreparation SiteOperation::Prepare() {
  const bool needs_programs = settings_.command == SiteCommand::kUpload ||
                              settings_.command == SiteCommand::kVerify;
  SiteParseResult parsed =
      LoadSiteFile(settings_.site_file, needs_programs, settings_.port_roots);
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
  if (needs_programs && !settings_.any_size) {
    faults_ = programs_.SizeFaults();
    if (!faults_.empty()) return SitePreparation::kSiteFaults;
  }
  if (settings_.command == SiteCommand::kBackup) {
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
  if (settings_.resume && SiteCommandWrites(settings_.command)) {
    if (!SelectForResume()) return SitePreparation::kRefused;
    if (only_ && only_->empty()) return SitePreparation::kAllVerified;
  }
  return SitePreparation::kReady;
}

bool SiteOperation::SelectForResume() {
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
      if (settings_.command == SiteCommand::kUpload && program != nullptr) {
        sums[{line.name, c.number}] = program->sha256;
      }
    }
  }
  const std::string_view job = SiteCommandName(settings_.command);
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

std::vector<SitePlanLine> SiteOperation::Plan() const {
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

JournalEntry SiteOperation::Entry(JournalEvent event,
                                  const SiteRow* row) const {
  JournalEntry entry;
  entry.event = event;
  entry.time = UtcTimeNow();
  entry.user = user_;
  entry.host = host_;
  entry.run = run_id_;
  entry.job = std::string(SiteCommandName(settings_.command));
  if (row != nullptr) {
    entry.line = row->line;
    entry.port = row->port;
    entry.controller = row->controller;
    if (settings_.command == SiteCommand::kUpload) {
      entry.program_sha256 = row->program_sha256;
    }
  }
  return entry;
}

std::string SiteOperation::JournalFailureText() const {
  return "Błąd zapisu dziennika " + journal_path_.string() +
         (journal_ ? ": " + journal_->error() : std::string());
}

std::string SiteOperation::JournalBegun(const SiteRow& row) {
  if (journal_->Append(Entry(JournalEvent::kBegun, &row))) return {};
  journal_failed_.store(true);
  return JournalFailureText();
}

void SiteOperation::JournalEnded(const SiteRow& row) {
  JournalEntry entry = Entry(JournalEvent::kOutcome, &row);
  entry.outcome = std::string(SiteOutcomeText(row.outcome));
  if (!row.failure.empty()) entry.outcome += ": " + row.failure;
  if (!journal_->Append(entry)) journal_failed_.store(true);
}

bool SiteOperation::Start() {
  if (!site_ || run_) return false;
  SiteRunOptions options;
  options.command = settings_.command;
  options.backup_dir = settings_.backup_dir;
  options.stop_at_first = settings_.stop_at_first;
  options.timeout_ms = settings_.timeout_ms;
  options.create_port = settings_.create_port;
  options.programs = &programs_;
  options.events = settings_.events;
  if (only_) {
    options.only_given = true;
    options.only = *only_;
  }
  if (SiteCommandWrites(settings_.command)) {
    journal_ = std::make_unique<JournalWriter>(journal_path_);
    JournalEntry start = Entry(JournalEvent::kStart, nullptr);
    if (settings_.command == SiteCommand::kUpload) {
      for (const auto& [file, program] : programs_.all()) {
        start.programs.emplace_back(ProgramName(file, settings_.site_file),
                                    program->sha256);
      }
    }
    if (!journal_->Append(start)) {
      refusal_ = JournalFailureText() + "; nic nie zostało wysłane.";
      return false;
    }
    options.on_begun = [this](const SiteRow& row, std::string_view) {
      return JournalBegun(row);
    };
    options.on_write = [this](const SiteRow& row, std::string_view) {
      JournalEnded(row);
    };
  }
  run_ = std::make_unique<SiteRun>(*site_, std::move(options));
  run_->Start();
  return true;
}

void SiteOperation::Abort() {
  if (run_) run_->Abort();
}

bool SiteOperation::Finished() const { return !run_ || run_->Finished(); }

std::vector<SiteLineProgress> SiteOperation::Progress() const {
  return run_ ? run_->Progress() : std::vector<SiteLineProgress>{};
}

const std::vector<SiteRow>& SiteOperation::Finish() {
  if (run_) {
    run_->Join();
    rows_ = run_->Rows();
  }
  return rows_;
}

bool SiteOperation::WriteReport(const std::filesystem::path& file,
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

bool SiteOperation::WriteBackupManifest(std::string& error) const {
  const std::filesystem::path file = settings_.backup_dir / "MANIFEST.sha256";
  FileWriteError failure;
  if (WriteFileAtomically(file, BackupManifest(rows_, settings_.backup_dir),
                          &failure) == AtomicWriteResult::kOk) {
    return true;
  }
  error =
      std::string(kProgramSaveFailedText) + " " + FileWriteErrorText(failure);
  return false;
}

SiteVerdict SiteOperation::Verdict() const {
  bool differs = false;
  if (journal_failed()) return SiteVerdict::kFailed;
  for (const SiteRow& row : rows_) {
    if (SiteOutcomeIsFailure(row.outcome)) return SiteVerdict::kFailed;
    differs = differs || row.outcome == SiteOutcome::kDiffers;
  }
  return differs ? SiteVerdict::kDiffers : SiteVerdict::kSucceeded;
}

}  // namespace lumera
