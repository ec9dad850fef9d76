// What each site command does to one controller.
#pragma once

#include <functional>
#include <string_view>

#include "core/site/site_line_jobs.h"
#include "core/site/site_run.h"

namespace lumera {

// Runs `options.command` on `controller` with the line's jobs and fills the
// row's outcome, failure and detail. `on_write` is called once a write was
// made (upload, clock set), with the job's name. Returns false when the
// line's port cannot be opened.
bool RunControllerCommand(
    SiteLineJobs& jobs, const SiteRunOptions& options, const SiteLine& line,
    const SiteController& controller, SiteRow& row,
    const std::function<void(std::string_view)>& on_write);

}  // namespace lumera
