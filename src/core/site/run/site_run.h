// A site command from its start to its end, as every front end runs it:
// the site file loaded and checked, the site locked against a second run,
// each program file read once, the controllers chosen (--resume), the
// plan, the ports held against the process's other jobs, the journal
// written before each step acts, the lines run, and the rows with what
// they come to. A front end asks its questions between Prepare and Start,
// shows Progress (or the run's events), and shows the rows and the summary
// after Finish.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/site/file/site_file.h"
#include "core/site/journal/journal_file.h"
#include "core/site/journal/site_lock.h"
#include "core/site/run/site_lines.h"
#include "core/site/run/site_plan.h"
#include "core/site/run/site_programs.h"
#include "core/site/run/site_report.h"
#include "core/site/run/site_run_settings.h"

namespace lumera {

// Said when --resume finds every controller finished and verified.
inline constexpr std::string_view kAllVerifiedText =
    "Wszystkie sterowniki zakończone i zweryfikowane.";

enum class SitePreparation {
  kReady,
  kSiteFaults,   // the site file is refused: faults()
  kRefused,      // refusal(): locked by another run, a file not readable
  kAllVerified,  // --resume: nothing is left to do
};

class SiteRun {
 public:
  explicit SiteRun(SiteRunSettings settings);
  ~SiteRun();
  SiteRun(const SiteRun&) = delete;
  SiteRun& operator=(const SiteRun&) = delete;

  SiteCommand command() const { return settings_.command; }
  bool resume() const { return settings_.resume; }
  // "Wyślij", or "Wznów (Wyślij)" for a resume.
  std::string Caption() const;

  // Everything before the first request; the lock is held from here on,
  // until the run ends.
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
  // The plan as the command line prints it and the window's question shows
  // it, with the program check's findings of each program.
  std::string PlanText() const;
  // The question before a command that writes: the notes and the plan.
  std::string PlanQuestion() const;

  // Holds the plan's ports, writes the journal's start line (the writing
  // commands) and starts the lines; false, with refusal(), when a port is
  // held by another job of this process or the journal cannot be written:
  // then nothing is held any more.
  bool Start();
  bool started() const { return lines_ != nullptr; }
  // Ends every line at its current request.
  void Abort();
  bool aborted() const { return aborted_; }
  bool Finished() const;
  std::vector<SiteLineProgress> Progress() const;
  // Waits for every line, writes the backup's manifest, and gives the site
  // and its ports free for the next run (of this process or another). One
  // row per controller run, in the site's order; the rows stay.
  const std::vector<SiteRow>& Finish();
  bool ended() const { return ended_; }
  const std::vector<SiteRow>& rows() const { return rows_; }

  // A journal line could not be written while the run went on.
  bool journal_failed() const { return journal_failed_.load(); }
  // "Błąd zapisu dziennika FILE: reason"; read once the run has ended.
  std::string JournalFailureText() const;
  const std::filesystem::path& journal_path() const { return journal_path_; }
  // The backup's manifest could not be written: why.
  const std::string& manifest_error() const { return manifest_error_; }

  // The rows as FILE.json or FILE.csv. False with the message in `error`.
  bool WriteReport(const std::filesystem::path& file, std::string& error) const;
  // After Finish.
  SiteVerdict Verdict() const;
  SiteSummary Summary() const;

 private:
  bool SelectForResume();
  JournalEntry Entry(JournalEvent event, const SiteRow* row) const;
  std::string JournalBegun(const SiteRow& row);
  void JournalEnded(const SiteRow& row);
  void ReleasePorts();

  SiteRunSettings settings_;
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
  bool ports_held_ = false;
  bool aborted_ = false;
  bool ended_ = false;
  std::chrono::steady_clock::time_point started_at_;
  double seconds_ = 0;
  std::string manifest_error_;
  std::vector<SiteRow> rows_;
  // Last: the lines' threads use all of the above until it is gone.
  std::unique_ptr<SiteLines> lines_;
};

}  // namespace lumera
