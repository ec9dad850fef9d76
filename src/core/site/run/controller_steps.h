// What each site command does to one controller, job by job.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/site/file/site_file.h"
#include "core/site/run/line_runner.h"
#include "core/site/run/site_rows.h"
#include "core/site/run/site_run_settings.h"

namespace lumera {

class SitePrograms;

// What a command tells about its writes (upload, clock set), with the
// job's word: `begun` before the first write (a text it gives holds the
// write back, and fails the controller with it), `ended` once a write that
// began has ended.
struct ControllerWrites {
  std::function<std::string(std::string_view job)> begun;
  std::function<void(std::string_view job)> ended;
};

// Runs `settings.command` on `controller` with the line's jobs and fills
// the row's outcome, failure and detail. Returns false when the line's port
// cannot be opened.
bool RunControllerCommand(SiteLineRunner& jobs, const SiteRunSettings& settings,
                          const SitePrograms* programs, const SiteLine& line,
                          const SiteController& controller, SiteRow& row,
                          const ControllerWrites& writes);

}  // namespace lumera
