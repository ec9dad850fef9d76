// The lines of a site at work: each on its own thread with its own port and
// jobs, the lines in parallel, the controllers of one line one after the
// other (a line is one half-duplex bus).
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/site/file/site_file.h"
#include "core/site/run/site_rows.h"
#include "core/site/run/site_run_settings.h"

namespace lumera {

class SitePrograms;

struct SiteLinesHooks {
  // Only these (line, controller) run; the rest are left out. Not given:
  // all.
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
  // The hooks and the settings' events are called on the lines' threads,
  // one call at a time.
};

class SiteLines {
 public:
  SiteLines(const SiteFile& site, const SiteRunSettings& settings,
            SiteLinesHooks hooks);
  ~SiteLines();
  SiteLines(const SiteLines&) = delete;
  SiteLines& operator=(const SiteLines&) = delete;

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
  bool Runs(const SiteLine& line, const SiteController& controller) const;

  const SiteFile& site_;
  const SiteRunSettings& settings_;
  SiteLinesHooks hooks_;
  std::atomic<bool> abort_{false};
  std::vector<std::unique_ptr<LineState>> lines_;
  std::mutex calls_mutex_;       // one hook or event call at a time
  std::size_t lines_ended_ = 0;  // under calls_mutex_
};

}  // namespace lumera
