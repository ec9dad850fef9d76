// A site command from its start to its end, as every front end runs it:
// the site file loaded and checked, the site locked against a second run,
// each program file read once, the controllers chosen (--resume), the
// plan, the journal written before each step acts, the lines run, and the
// rows with their reports. A front end asks its questions between Prepare
// and Start, shows Progress (or the run's events) and the rows.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/port_names.h"
#include "core/link/serial_port.h"
#include "core/site/file/site_file.h"
#include "core/site/journal/journal_file.h"
#include "core/site/journal/site_lock.h"
#include "core/site/run/site_programs.h"
#include "core/site/run/site_run.h"

namespace lumera {

// Said when --resume finds every controller finished and verified.
inline constexpr std::string_view kAllVerifiedText =
    "Wszystkie sterowniki zakończone i zweryfikowane.";

// The command's word, as the command line and the journal name it.
std::string_view SiteCommandName(SiteCommand command);
// The command a word names, as the journal keeps it; nothing for another.
std::optional<SiteCommand> SiteCommandNamed(std::string_view name);
// upload and clock-set write to controllers, and are journaled.
bool SiteCommandWrites(SiteCommand command);

struct SiteOperationSettings {
  std::filesystem::path site_file;
  SiteCommand command = SiteCommand::kStatus;
  std::filesystem::path backup_dir;  // backup
  bool resume = false;               // upload, clock-set
  bool stop_at_first = false;
  bool any_size = false;  // upload, verify: a program file of any size
  int timeout_ms = 3000;
  PortRoots port_roots;
  // A fresh port for each job; empty: the system's port.
  std::function<std::unique_ptr<SerialPort>()> create_port;
  SiteRunEvents* events = nullptr;
};

enum class SitePreparation {
  kReady,
  kSiteFaults,   // the site file is refused: faults()
  kRefused,      // refusal(): locked by another run, a file not readable
  kAllVerified,  // --resume: nothing is left to do
};

enum class SiteVerdict { kSucceeded, kDiffers, kFailed };

// The controllers a run serves, line by line.
struct SitePlanLine {
  std::string name;
  std::string port;
  std::vector<SiteController> controllers;
};

// The plan in a few lines for a question: a line each, its controllers as
// ranges grouped by their program (relative to `site_file`).
std::string SitePlanText(const std::vector<SitePlanLine>& plan,
                         SiteCommand command,
                         const std::filesystem::path& site_file);

class SiteOperation {
 public:
  explicit SiteOperation(SiteOperationSettings settings);
  ~SiteOperation();
  SiteOperation(const SiteOperation&) = delete;
  SiteOperation& operator=(const SiteOperation&) = delete;

  // Everything before the first request; the lock is held from here on,
  // until the operation ends.
  SitePreparation Prepare();
  const std::vector<SiteFault>& faults() const { return faults_; }
  const std::string& refusal() const { return refusal_; }
  // Warnings to show before the plan: journal lines skipped, a resume
  // without a previous run.
  const std::vector<std::string>& notes() const { return notes_; }
  const std::filesystem::path& site_file() const { return settings_.site_file; }
  // After kReady.
  const SiteFile& site() const { return *site_; }
  std::vector<SitePlanLine> Plan() const;

  // Writes the journal's start line (upload, clock-set) and starts the
  // lines; false, with refusal(), when the journal cannot be written.
  bool Start();
  void Abort();
  bool Finished() const;
  std::vector<SiteLineProgress> Progress() const;
  // Waits for every line; one row per controller run, in the site's order.
  const std::vector<SiteRow>& Finish();
  // After Finish: the site is free for the next run (of this process or
  // another); the rows stay for the report.
  void Unlock() { lock_.Release(); }

  // A journal line could not be written while the run went on.
  bool journal_failed() const { return journal_failed_.load(); }
  // "Błąd zapisu dziennika FILE: reason"; read once the run has ended.
  std::string JournalFailureText() const;
  const std::filesystem::path& journal_path() const { return journal_path_; }

  // The rows as FILE.json or FILE.csv; backup's DIR/MANIFEST.sha256.
  // False with the message in `error`.
  bool WriteReport(const std::filesystem::path& file, std::string& error) const;
  bool WriteBackupManifest(std::string& error) const;
  SiteVerdict Verdict() const;

 private:
  bool SelectForResume();
  JournalEntry Entry(JournalEvent event, const SiteRow* row) const;
  std::string JournalBegun(const SiteRow& row);
  void JournalEnded(const SiteRow& row);

  SiteOperationSettings settings_;
  std::optional<SiteFile> site_;
  std::vector<SiteFault> faults_;
  std::string refusal_;
  std::vector<std::string> notes_;
  SiteLock lock_;
  SitePrograms programs_;
  std::filesystem::path journal_path_;
  std::unique_ptr<JournalWriter> journal_;
  std::atomic<bool> journal_failed_{false};
  std::string run_id_;
  std::string user_;
  std::string host_;
  // Only these run; not given: all.
  std::optional<std::set<ControllerKey>> only_;
  std::vector<SiteRow> rows_;
  // Last: the lines' threads use all of the above until it is gone.
  std::unique_ptr<SiteRun> run_;
};

}  // namespace lumera
