// The journal beside a site file (FILE.journal): one JSON line for each
// step of a run that writes to controllers, written before the step acts,
// so that what was begun is known even when the run is killed:
//   start   the run, its command and its program files with their SHA-256,
//           before the first request;
//   begun   a controller, before its first write;
//   outcome the controller's outcome, once the write has ended.
// Lines without an "event" (as earlier versions wrote them) are outcomes.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/site/journal/journal_json.h"

namespace lumera {

// The outcome of a write read back equal, as the journal and the table
// name it.
inline constexpr std::string_view kVerifiedOutcome = "zweryfikowany";

enum class JournalEvent { kStart, kBegun, kOutcome };

struct JournalEntry {
  JournalEvent event = JournalEvent::kOutcome;
  std::string time;  // UTC, ISO 8601
  std::string user;
  std::string host;
  std::string run;  // the id of the first run of a resumed chain
  std::string job;  // "upload", "clock-set"
  // kBegun, kOutcome:
  std::string line;
  std::string port;
  int controller = 0;
  std::string program_sha256;
  std::string outcome;  // kOutcome: kVerifiedOutcome, or "błąd: reason"...
  // kStart: each program file (relative to the site file) and its SHA-256.
  std::vector<std::pair<std::string, std::string>> programs;
};

// One line, without its end.
std::string JournalLine(const JournalEntry& entry);
// Nothing for a line that is not one the journal writes.
std::optional<JournalEntry> ParseJournalLine(std::string_view line);

struct JournalContents {
  std::vector<JournalEntry> entries;
  // Lines (counted from 1) that are not what the journal writes: a torn
  // last line, a foreign one. Blank lines are not counted.
  std::vector<int> skipped_lines;
};

// Reads a journal's text in pieces of any size.
class JournalReader {
 public:
  void Feed(std::string_view text);
  JournalContents Finish();

 private:
  void EndLine();

  std::string line_;
  bool overlong_ = false;
  int number_ = 0;
  JournalContents contents_;
};

JournalContents ParseJournal(std::string_view text);

using ControllerKey = std::pair<std::string, int>;  // line, controller

// What --resume leaves out: the last run of `job` in the journal (the run
// of the last line of that job, so a run killed before its first controller
// still counts), and the controllers that run finished verified with the
// program whose sum is `program_sums[{line, controller}]` now (empty for
// jobs without one). A controller begun again after its verified outcome is
// not finished; every controller not in `finished` runs again.
struct ResumePoint {
  std::string run;  // empty: `job` never ran
  std::set<ControllerKey> finished;
};
ResumePoint FindResumePoint(
    const std::vector<JournalEntry>& entries, std::string_view job,
    const std::map<ControllerKey, std::string>& program_sums);

}  // namespace lumera
