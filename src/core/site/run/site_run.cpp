#include "core/site/run/site_run.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "core/link/transfer_job.h"
#include "core/site/journal/site_journal.h"
#include "core/site/run/site_controller_task.h"
#include "core/site/run/site_line_jobs.h"
#include "core/site/run/site_programs.h"

namespace lumera {

using Clock = std::chrono::steady_clock;

struct SiteRun::LineState {
  mutable std::mutex mutex;
  SiteLineProgress progress;
  std::vector<SiteRow> rows;
  std::thread thread;
  std::atomic<bool> finished{false};
};

std::string_view SiteOutcomeText(SiteOutcome outcome) {
  switch (outcome) {
    case SiteOutcome::kDone:
      return "ok";
    case SiteOutcome::kVerified:
      return kVerifiedOutcome;
    case SiteOutcome::kDiffers:
      return "różnice";
    case SiteOutcome::kAbsent:
      return "nieobecny";
    case SiteOutcome::kFailed:
      return "błąd";
    case SiteOutcome::kSkipped:
      return "pominięty";
  }
  return {};
}

bool SiteOutcomeIsFailure(SiteOutcome outcome) {
  return outcome == SiteOutcome::kAbsent || outcome == SiteOutcome::kFailed ||
         outcome == SiteOutcome::kSkipped;
}

SiteRun::SiteRun(const SiteFile& site, SiteRunOptions options)
    : site_(site), options_(std::move(options)) {
  for (const SiteLine& line : site_.lines) {
    auto state = std::make_unique<LineState>();
    for (const SiteController& c : line.controllers) {
      if (options_.only_given && !options_.only.contains({line.name, c.number}))
        continue;
      ++state->progress.total;
    }
    lines_.push_back(std::move(state));
  }
}

SiteRun::~SiteRun() {
  Abort();
  Join();
}

void SiteRun::Start() {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    lines_[i]->thread = std::thread([this, i] { RunLine(i); });
  }
}

bool SiteRun::Finished() const {
  for (const auto& line : lines_) {
    if (!line->finished.load()) return false;
  }
  return true;
}

void SiteRun::Join() {
  for (const auto& line : lines_) {
    if (line->thread.joinable()) line->thread.join();
  }
}

std::vector<SiteLineProgress> SiteRun::Progress() const {
  std::vector<SiteLineProgress> progress;
  for (const auto& line : lines_) {
    const std::lock_guard lock(line->mutex);
    progress.push_back(line->progress);
  }
  return progress;
}

std::vector<SiteRow> SiteRun::Rows() const {
  std::vector<SiteRow> rows;
  for (const auto& line : lines_) {
    const std::lock_guard lock(line->mutex);
    rows.insert(rows.end(), line->rows.begin(), line->rows.end());
  }
  return rows;
}

void SiteRun::RunLine(std::size_t index) {
  const SiteLine& line = site_.lines[index];
  LineState& state = *lines_[index];
  SiteLineJobs jobs(line, options_, abort_);
  std::optional<std::string> port_failure;  // the port cannot be opened
  bool stopped = false;
  for (const SiteController& controller : line.controllers) {
    if (options_.only_given &&
        !options_.only.contains({line.name, controller.number})) {
      continue;
    }
    SiteLineProgress progress;
    {
      const std::lock_guard lock(state.mutex);
      state.progress.current = controller.number;
      progress = state.progress;
    }
    if (options_.events) {
      const std::lock_guard lock(calls_mutex_);
      options_.events->ControllerBegun(index, controller.number, progress);
    }
    SiteRow row;
    row.line = line.name;
    row.port = line.port;
    row.controller = controller.number;
    if (options_.programs != nullptr) {
      if (const SiteProgram* program =
              options_.programs->Find(controller.program)) {
        row.program_sha256 = program->sha256;
      }
    }
    const Clock::time_point began = Clock::now();
    if (abort_.load()) {
      row.outcome = SiteOutcome::kSkipped;
      row.failure = std::string(kAbortText);
    } else if (stopped) {
      row.outcome = SiteOutcome::kSkipped;
      row.failure = "pominięty po błędzie (--stop-at-first)";
    } else if (port_failure) {
      row.outcome = SiteOutcome::kFailed;
      row.failure = *port_failure;
    } else {
      jobs.Address(controller);
      ControllerWrites writes;
      writes.begun = [&](std::string_view job) -> std::string {
        if (!options_.on_begun) return {};
        const std::lock_guard lock(calls_mutex_);
        return options_.on_begun(row, job);
      };
      writes.ended = [&](std::string_view job) {
        row.seconds =
            std::chrono::duration<double>(Clock::now() - began).count();
        if (!options_.on_write) return;
        const std::lock_guard lock(calls_mutex_);
        options_.on_write(row, job);
      };
      if (!RunControllerCommand(jobs, options_, line, controller, row,
                                writes)) {
        port_failure = row.failure;
      }
      if (abort_.load() && SiteOutcomeIsFailure(row.outcome)) {
        row.failure = std::string(kAbortText);
      }
    }
    row.seconds = std::chrono::duration<double>(Clock::now() - began).count();
    if (options_.stop_at_first && SiteOutcomeIsFailure(row.outcome)) {
      stopped = true;
    }
    {
      const std::lock_guard lock(state.mutex);
      ++state.progress.done;
      if (SiteOutcomeIsFailure(row.outcome)) ++state.progress.failures;
      state.rows.push_back(row);
      progress = state.progress;
    }
    if (options_.events) {
      const std::lock_guard lock(calls_mutex_);
      options_.events->ControllerEnded(index, row, progress);
    }
  }
  {
    const std::lock_guard lock(state.mutex);
    state.progress.current = 0;
  }
  if (options_.events) {
    const std::lock_guard lock(calls_mutex_);
    options_.events->LineEnded(index);
  }
  state.finished.store(true);
}

}  // namespace lumera
