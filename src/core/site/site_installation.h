// The installation as the window's site page shows it: a row for every
// controller of a site, what a run last found on it, and the journal's last
// word about it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/site/site_file.h"
#include "core/site/site_run.h"

namespace lumera {

struct SiteInstallationRow {
  std::string line;
  int controller = 0;
  std::optional<SiteOutcome> outcome;  // none until a run has ended for it
  bool running = false;
  std::string version;         // as a status run reads it
  std::string clock_offset;    // as a status run reads it
  std::string program_sha256;  // of its program file; empty: it has none
  std::string journal_outcome;
  std::string journal_time;  // UTC, ISO 8601, as the journal keeps it
};

// A row per controller in the order of the site, with the sums of their
// program files (each file read once; empty when it cannot be read).
std::vector<SiteInstallationRow> InstallationRows(const SiteFile& site);

struct SiteJournalRow {
  std::string time;
  std::string line;
  int controller = 0;
  std::string job;
  std::string outcome;
};

struct SiteJournalView {
  std::vector<SiteJournalRow> rows;  // newest first
  bool readable = true;  // false: the journal is there but could not be read
};

// The journal beside `site_file`; none yet is an empty view.
SiteJournalView ReadSiteJournalView(const std::filesystem::path& site_file);

// Each row's last journal outcome and its time.
void ApplyJournal(const SiteJournalView& journal,
                  std::vector<SiteInstallationRow>& rows);

}  // namespace lumera
