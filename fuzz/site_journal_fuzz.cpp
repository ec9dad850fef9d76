// Journal bytes of any shape: the reader never throws or crashes, reads the
// same however the bytes are split, accounts for every line it did not
// keep, and what it kept is written and read back unchanged; a resume can
// be chosen from whatever it kept.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/site/journal/site_journal.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

namespace lumera {
namespace {

std::vector<std::string> Written(const JournalContents& contents) {
  std::vector<std::string> lines;
  for (const JournalEntry& e : contents.entries) {
    lines.push_back(JournalLine(e));
  }
  return lines;
}

}  // namespace

void FuzzInput(std::string_view bytes) {
  const JournalContents whole = ParseJournal(bytes);

  std::size_t lines = 0;
  for (const char c : bytes) lines += c == '\n' ? 1 : 0;
  if (!bytes.empty() && bytes.back() != '\n') ++lines;
  LUMERA_FUZZ_CHECK(whole.entries.size() + whole.skipped_lines.size() <= lines);
  int previous = 0;
  for (const int line : whole.skipped_lines) {
    LUMERA_FUZZ_CHECK(line > previous &&
                      static_cast<std::size_t>(line) <= lines);
    previous = line;
  }

  // Fed in two pieces split anywhere, the reader gives the same.
  const std::size_t split =
      bytes.empty() ? 0
                    : static_cast<unsigned char>(bytes.front()) % bytes.size();
  JournalReader reader;
  reader.Feed(bytes.substr(0, split));
  reader.Feed(bytes.substr(split));
  const JournalContents pieces = reader.Finish();
  LUMERA_FUZZ_CHECK(pieces.skipped_lines == whole.skipped_lines);
  const std::vector<std::string> written = Written(whole);
  LUMERA_FUZZ_CHECK(Written(pieces) == written);

  // Each kept entry is one line of its own, and reads back as written.
  std::string again;
  for (const std::string& line : written) {
    LUMERA_FUZZ_CHECK(line.find('\n') == std::string::npos);
    again += line + "\n";
  }
  const JournalContents reread = ParseJournal(again);
  LUMERA_FUZZ_CHECK(reread.skipped_lines.empty());
  LUMERA_FUZZ_CHECK(Written(reread) == written);

  // Whatever was kept, a resume is chosen from it, and only controllers
  // the journal names are taken as finished.
  for (const char* job : {"upload", "clock-set"}) {
    const ResumePoint point = FindResumePoint(whole.entries, job, {});
    for (const ControllerKey& key : point.finished) {
      bool named = false;
      for (const JournalEntry& e : whole.entries) {
        named = named || (e.line == key.first && e.controller == key.second &&
                          e.run == point.run);
      }
      LUMERA_FUZZ_CHECK(named);
    }
  }
}

}  // namespace lumera
