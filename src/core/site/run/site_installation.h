// The installation as the window's site page shows it: a row for every
// controller of a site, what a run last found on it, and the journal's last
// word about it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/site/file/site_file.h"
#include "core/site/journal/site_journal.h"
#include "core/site/run/site_commands.h"
#include "core/site/run/site_rows.h"

namespace lumera {

struct SiteInstallationRow {
  std::string line;
  int controller = 0;
  std::optional<SiteOutcome> outcome;  // none until a run has ended for it
  bool waiting = false;                // in the plan of the run under way
  bool running = false;
  std::string version;         // as a run last read it
  std::string clock_offset;    // as a run last read it: "+3 s"
  std::string program_sha256;  // of its program file; empty: it has none
  std::string journal_outcome;
  std::string journal_time;  // UTC, ISO 8601, as the journal keeps it
  std::string note;          // the last run's failure, or what it found
};

// A row per controller in the order of the site, with the sums of their
// program files (each file read once; empty when it cannot be read).
std::vector<SiteInstallationRow> InstallationRows(const SiteFile& site);

// What a run's events change: each returns the index of the row it
// changed, or -1 when no row is that controller's.
int MarkWaiting(std::vector<SiteInstallationRow>& rows, std::string_view line,
                int controller);
int MarkBegun(std::vector<SiteInstallationRow>& rows, std::string_view line,
              int controller);
// A row the run did not reach stays as it was before the run, apart from
// the wait.
int MarkEnded(std::vector<SiteInstallationRow>& rows, const SiteRow& row);
// The run has ended: no row waits or runs any more.
void MarkRunEnded(std::vector<SiteInstallationRow>& rows);

struct SiteJournalView {
  std::vector<JournalEntry> rows;  // every kind, newest first
  bool readable = true;  // false: the journal is there but could not be read
};

// The journal beside `site_file`; none yet is an empty view.
SiteJournalView ReadSiteJournalView(const std::filesystem::path& site_file);

// The command "Wznów" takes up: the journal's newest line names the command
// the command line's --resume would be given; nothing when that command
// does not write or the journal is empty.
std::optional<SiteCommand> ResumeCommandOf(const SiteJournalView& journal);
// What "Wznów" tells it would do.
std::string ResumeToolTip(const SiteJournalView& journal);

// Each row's last journal outcome and its time.
void ApplyJournal(const SiteJournalView& journal,
                  std::vector<SiteInstallationRow>& rows);

}  // namespace lumera
