#include "core/site/run/site_lines.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "core/link/transfer_job.h"
#include "core/site/run/controller_steps.h"
#include "core/site/run/line_runner.h"
#include "core/site/run/site_programs.h"

namespace lumera {

using Clock = std::chrono::steady_clock;

struct SiteLines::LineState {
  mutable std::mutex mutex;
  SiteLineProgress progress;
  std::vector<SiteRow> rows;
  std::thread thread;
  std::atomic<bool> finished{false};
};

SiteLines::SiteLines(const SiteFile& site, const SiteRunSettings& settings,
                     SiteLinesHooks hooks)
    : site_(site), settings_(settings), hooks_(std::move(hooks)) {
  for (const SiteLine& line : site_.lines) {
    auto state = std::make_unique<LineState>();
    for (const SiteController& c : line.controllers) {
      if (Runs(line, c)) ++state->progress.total;
    }
    lines_.push_back(std::move(state));
  }
}

bool SiteLines::Runs(const SiteLine& line,
                     const SiteController& controller) const {
  return !hooks_.only_given ||
         hooks_.only.contains({line.name, controller.number});
}

SiteLines::~SiteLines() {
  Abort();
  Join();
}

void SiteLines::Start() {
  if (lines_.empty() && settings_.events) settings_.events->RunEnded();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    lines_[i]->thread = std::thread([this, i] { RunLine(i); });
  }
}

bool SiteLines::Finished() const {
  for (const auto& line : lines_) {
    if (!line->finished.load()) return false;
  }
  return true;
}

void SiteLines::Join() {
  for (const auto& line : lines_) {
    if (line->thread.joinable()) line->thread.join();
  }
}

std::vector<SiteLineProgress> SiteLines::Progress() const {
  std::vector<SiteLineProgress> progress;
  for (const auto& line : lines_) {
    const std::lock_guard lock(line->mutex);
    progress.push_back(line->progress);
  }
  return progress;
}

std::vector<SiteRow> SiteLines::Rows() const {
  std::vector<SiteRow> rows;
  for (const auto& line : lines_) {
    const std::lock_guard lock(line->mutex);
    rows.insert(rows.end(), line->rows.begin(), line->rows.end());
  }
  return rows;
}

void SiteLines::RunLine(std::size_t index) {
  const SiteLine& line = site_.lines[index];
  LineState& state = *lines_[index];
  SiteLineRunner jobs(line, settings_, abort_);
  std::optional<std::string> port_failure;  // the port cannot be opened
  bool stopped = false;
  for (const SiteController& controller : line.controllers) {
    if (!Runs(line, controller)) continue;
    SiteLineProgress progress;
    {
      const std::lock_guard lock(state.mutex);
      state.progress.current = controller.number;
      progress = state.progress;
    }
    if (settings_.events) {
      const std::lock_guard lock(calls_mutex_);
      settings_.events->ControllerBegun(index, controller.number, progress);
    }
    SiteRow row;
    row.line = line.name;
    row.port = line.port;
    row.controller = controller.number;
    if (hooks_.programs != nullptr) {
      if (const SiteProgram* program =
              hooks_.programs->Find(controller.program)) {
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
        if (!hooks_.on_begun) return {};
        const std::lock_guard lock(calls_mutex_);
        return hooks_.on_begun(row, job);
      };
      writes.ended = [&](std::string_view job) {
        row.seconds =
            std::chrono::duration<double>(Clock::now() - began).count();
        if (!hooks_.on_write) return;
        const std::lock_guard lock(calls_mutex_);
        hooks_.on_write(row, job);
      };
      if (!RunControllerCommand(jobs, settings_, hooks_.programs, line,
                                controller, row, writes)) {
        port_failure = row.failure;
      }
      if (abort_.load() && SiteOutcomeIsFailure(row.outcome)) {
        row.failure = std::string(kAbortText);
      }
    }
    row.seconds = std::chrono::duration<double>(Clock::now() - began).count();
    if (settings_.stop_at_first && SiteOutcomeIsFailure(row.outcome)) {
      stopped = true;
    }
    {
      const std::lock_guard lock(state.mutex);
      ++state.progress.done;
      if (SiteOutcomeIsFailure(row.outcome)) ++state.progress.failures;
      state.rows.push_back(row);
      progress = state.progress;
    }
    if (settings_.events) {
      const std::lock_guard lock(calls_mutex_);
      settings_.events->ControllerEnded(index, row, progress);
    }
  }
  {
    const std::lock_guard lock(state.mutex);
    state.progress.current = 0;
  }
  state.finished.store(true);
  // The last line to end tells the run's end, after every call of its own.
  const std::lock_guard lock(calls_mutex_);
  if (++lines_ended_ == lines_.size() && settings_.events) {
    settings_.events->RunEnded();
  }
}

}  // namespace lumera
