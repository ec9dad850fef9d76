// Jobs over every controller of a site: the lines in parallel, each on its
// own port and worker; the controllers of one line one after the other,
// since a line is one half-duplex bus.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/link/serial_port.h"
#include "core/site/file/site_file.h"

namespace lumera {

enum class SiteCommand { kStatus, kUpload, kVerify, kBackup, kClockSet };

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

class SitePrograms;

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
  // ... and has ended: every line's end told, the run has ended.
  virtual void LineEnded(std::size_t /*line*/) {}
};

struct SiteRunOptions {
  SiteCommand command = SiteCommand::kStatus;
  std::filesystem::path backup_dir;
  bool stop_at_first = false;
  int timeout_ms = 3000;
  // A network serial server still busy with the previous connection may
  // refuse the next one; such a refusal is retried for this long.
  int refused_retry_ms = 2000;
  // A fresh port for each job; empty: the system's port.
  std::function<std::unique_ptr<SerialPort>()> create_port;
  // Only these (line, controller) run; the rest are left out. Empty: all.
  std::set<std::pair<std::string, int>> only;
  bool only_given = false;
  // The program files, each read once; needed by upload and verify.
  const SitePrograms* programs = nullptr;
  // A write (upload, clock set) is about to begin on a controller: empty
  // lets it go on; a text holds it back and fails the controller with it.
  std::function<std::string(const SiteRow&, std::string_view job)> on_begun;
  // A write that began has ended (upload after its verification, clock
  // set), its outcome in the row.
  std::function<void(const SiteRow&, std::string_view job)> on_write;
  SiteRunEvents* events = nullptr;
  // The hooks and the events are called on the lines' threads, one call at
  // a time.
};

class SiteRun {
 public:
  SiteRun(const SiteFile& site, SiteRunOptions options);
  ~SiteRun();
  SiteRun(const SiteRun&) = delete;
  SiteRun& operator=(const SiteRun&) = delete;

  // Starts one thread per line.
  void Start();
  // Ends every line at its current request, as a job's abort does.
  void Abort() { abort_.store(true); }
  // True once every line has ended.
  bool Finished() const;
  void Join();

  std::vector<SiteLineProgress> Progress() const;
  // After Join: one row per controller run, in the site's order.
  std::vector<SiteRow> Rows() const;

 private:
  struct LineState;
  void RunLine(std::size_t index);

  const SiteFile& site_;
  SiteRunOptions options_;
  std::atomic<bool> abort_{false};
  std::vector<std::unique_ptr<LineState>> lines_;
  std::mutex calls_mutex_;  // one hook or event call at a time
};

}  // namespace lumera
