// The journal beside a site file (FILE.journal): one JSON line for every
// write to a controller, so it is known what was put on which controller,
// and what a resumed run still has to do.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace lumera {

struct JournalEntry {
  std::string time;  // UTC, ISO 8601
  std::string user;
  std::string host;
  std::string line;
  std::string port;
  int controller = 0;
  std::string job;  // "upload", "clock-set"
  std::string program_sha256;
  std::string outcome;  // "zweryfikowany" when the write was verified
  std::string run;      // the time the first run of a resumed chain began
};

// "FILE.journal" beside the site file.
std::filesystem::path JournalPathFor(const std::filesystem::path& site_file);

// One line, without its end.
std::string JournalLine(const JournalEntry& entry);
// Nothing for a line that is not one the journal writes.
std::optional<JournalEntry> ParseJournalLine(std::string_view line);

// Appends one line and flushes it; false when the journal cannot be written.
bool AppendJournal(const std::filesystem::path& path,
                   const JournalEntry& entry);
// Every entry that can be read; lines that cannot are skipped.
std::vector<JournalEntry> ReadJournal(const std::filesystem::path& path);

// What --resume leaves out: the last run of `job` in the journal, and the
// controllers it finished verified with the program whose sum is
// `program_sums[{line, controller}]` now (empty for jobs without one).
struct ResumePoint {
  std::string run;  // empty: `job` never ran
  std::set<std::pair<std::string, int>> finished;
};
ResumePoint FindResumePoint(
    const std::vector<JournalEntry>& entries, std::string_view job,
    const std::map<std::pair<std::string, int>, std::string>& program_sums);

// Escapes for a JSON string (quotes not included).
std::string JsonEscape(std::string_view text);

}  // namespace lumera
