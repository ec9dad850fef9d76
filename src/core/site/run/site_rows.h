// What a site run finds, controller by controller, and what it tells as it
// goes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumera {

enum class SiteOutcome {
  kDone,      // status read, clock set, backup written, verify: no difference
  kVerified,  // upload: written and read back equal
  kDiffers,   // verify: the controller holds something else
  kAbsent,    // no answer to ReadVersion: nothing written
  kFailed,
  kSkipped,  // not run: --stop-at-first, or an interrupt
};

// "zweryfikowany", "nieobecny", ...
std::string_view SiteOutcomeText(SiteOutcome outcome);
bool SiteOutcomeIsFailure(SiteOutcome outcome);

struct SiteRow {
  std::string line;
  std::string port;
  int controller = 0;
  SiteOutcome outcome = SiteOutcome::kFailed;
  double seconds = 0;
  std::string failure;  // the failure's text; empty on success
  std::string detail;   // status values, differences, clock offset
  std::string program_sha256;
  std::vector<std::filesystem::path> files;  // backup: the files written
  // As read on the way: "1.2"; the controller's clock minus this
  // computer's. Empty when not read.
  std::string version;
  std::optional<int> clock_offset_seconds;
};

struct SiteLineProgress {
  int current = 0;  // controller being served; 0: none
  int done = 0;
  int total = 0;
  int failures = 0;
};

// What a run tells as it goes, for a front end that shows each controller:
// called on the lines' threads, one call at a time.
class SiteRunEvents {
 public:
  virtual ~SiteRunEvents() = default;
  // Line `line` (its index in the site) starts serving `controller`.
  virtual void ControllerBegun(std::size_t line, int controller,
                               const SiteLineProgress& progress) = 0;
  // ... and is done with it: its row, as the table shows it.
  virtual void ControllerEnded(std::size_t line, const SiteRow& row,
                               const SiteLineProgress& progress) = 0;
  // Every line has ended and told its last: the run may be finished. Told
  // once, last.
  virtual void RunEnded() {}
};

}  // namespace lumera
