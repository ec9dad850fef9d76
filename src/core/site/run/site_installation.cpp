#include "core/site/run/site_installation.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "core/model/sha256.h"
#include "core/site/journal/journal_file.h"

namespace lumera {
namespace {

int RowOf(const std::vector<SiteInstallationRow>& rows, std::string_view line,
          int controller) {
  const auto found = std::find_if(
      rows.begin(), rows.end(), [&](const SiteInstallationRow& row) {
        return row.line == line && row.controller == controller;
      });
  return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

}  // namespace

std::vector<SiteInstallationRow> InstallationRows(const SiteFile& site) {
  std::map<std::filesystem::path, std::string> sums;
  std::vector<SiteInstallationRow> rows;
  for (const SiteLine& line : site.lines) {
    for (const SiteController& controller : line.controllers) {
      SiteInstallationRow row;
      row.line = line.name;
      row.controller = controller.number;
      if (!controller.program.empty()) {
        auto [at, added] = sums.emplace(controller.program, "");
        if (added) at->second = Sha256OfFile(controller.program).value_or("");
        row.program_sha256 = at->second;
      }
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

int MarkWaiting(std::vector<SiteInstallationRow>& rows, std::string_view line,
                int controller) {
  const int index = RowOf(rows, line, controller);
  if (index >= 0) rows[static_cast<std::size_t>(index)].waiting = true;
  return index;
}

int MarkBegun(std::vector<SiteInstallationRow>& rows, std::string_view line,
              int controller) {
  const int index = RowOf(rows, line, controller);
  if (index < 0) return index;
  SiteInstallationRow& shown = rows[static_cast<std::size_t>(index)];
  shown.waiting = false;
  shown.running = true;
  return index;
}

int MarkEnded(std::vector<SiteInstallationRow>& rows, const SiteRow& row) {
  const int index = RowOf(rows, row.line, row.controller);
  if (index < 0) return index;
  SiteInstallationRow& shown = rows[static_cast<std::size_t>(index)];
  shown.waiting = false;
  shown.running = false;
  shown.outcome = row.outcome;
  shown.note = row.failure.empty() ? row.detail : row.failure;
  if (!row.version.empty()) shown.version = row.version;
  if (row.clock_offset_seconds) {
    char text[24];
    std::snprintf(text, sizeof text, "%+d s", *row.clock_offset_seconds);
    shown.clock_offset = text;
  }
  return index;
}

void MarkRunEnded(std::vector<SiteInstallationRow>& rows) {
  for (SiteInstallationRow& row : rows) {
    row.waiting = false;
    row.running = false;
  }
}

// The page's only reading of the journal.
SiteJournalView ReadSiteJournalView(const std::filesystem::path& site_file) {
  SiteJournalView view;
  const std::optional<JournalContents> journal =
      ReadJournalFile(JournalPathFor(site_file));
  if (!journal) {
    view.readable = false;
    return view;
  }
  view.rows.assign(journal->entries.rbegin(), journal->entries.rend());
  return view;
}

std::optional<SiteCommand> ResumeCommandOf(const SiteJournalView& journal) {
  if (journal.rows.empty()) return std::nullopt;
  const std::optional<SiteCommand> last =
      SiteCommandNamed(journal.rows.front().job);
  if (!last || !SiteCommandInfoOf(*last).writes) return std::nullopt;
  return last;
}

std::string ResumeToolTip(const SiteJournalView& journal) {
  const std::optional<SiteCommand> command = ResumeCommandOf(journal);
  if (!command) return "Dziennik nie zawiera zadania do wznowienia";
  return "Wznawia ostatnie zadanie z dziennika (" +
         std::string(SiteCommandInfoOf(*command).caption) +
         "): sterowniki niezweryfikowane i nieosiągnięte";
}

void ApplyJournal(const SiteJournalView& journal,
                  std::vector<SiteInstallationRow>& rows) {
  for (SiteInstallationRow& row : rows) {
    const auto last = std::find_if(
        journal.rows.begin(), journal.rows.end(), [&](const JournalEntry& j) {
          return j.event == JournalEvent::kOutcome && j.line == row.line &&
                 j.controller == row.controller;
        });
    if (last == journal.rows.end()) continue;
    row.journal_outcome = last->outcome;
    row.journal_time = last->time;
  }
}

}  // namespace lumera
