#include "core/site/site_installation.h"

#include <algorithm>
#include <map>

#include "core/site/journal_file.h"
#include "core/site/sha256.h"

namespace lumera {

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

// The page's only reading of the journal.
SiteJournalView ReadSiteJournalView(const std::filesystem::path& site_file) {
  SiteJournalView view;
  const std::optional<JournalContents> journal =
      ReadJournalFile(JournalPathFor(site_file));
  if (!journal) {
    view.readable = false;
    return view;
  }
  const std::vector<JournalEntry>& entries = journal->entries;
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    if (entry->event != JournalEvent::kOutcome) continue;
    view.rows.push_back({entry->time, entry->line, entry->controller,
                         entry->job, entry->outcome});
  }
  return view;
}

void ApplyJournal(const SiteJournalView& journal,
                  std::vector<SiteInstallationRow>& rows) {
  for (SiteInstallationRow& row : rows) {
    const auto last = std::find_if(
        journal.rows.begin(), journal.rows.end(), [&](const SiteJournalRow& j) {
          return j.line == row.line && j.controller == row.controller;
        });
    if (last == journal.rows.end()) continue;
    row.journal_outcome = last->outcome;
    row.journal_time = last->time;
  }
}

}  // namespace lumera
