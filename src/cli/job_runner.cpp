#include "cli/job_runner.h"

#include <chrono>
#include <span>
#include <thread>
#include <utility>

namespace lumera {
namespace {

constexpr int kProgressWidth = 40;
constexpr std::chrono::milliseconds kInterruptPoll{2};

}  // namespace

bool CliPrompts::Ask(std::string_view text) {
  if (yes_) return true;
  err_ << text << "\n(bez --yes polecenie nie zostanie wykonane)\n";
  refused_ = true;
  return false;
}

void CliPrompts::ShowWarning(std::string_view text) {
  err_ << text << "\n";
  refused_ = true;
}

CliJobRunner::CliJobRunner(Workspace& workspace, CliPortSetup port, bool yes,
                           std::ostream& err, bool progress_bar,
                           std::function<bool()> interrupted)
    : workspace_(workspace),
      port_(std::move(port)),
      err_(err),
      progress_bar_(progress_bar),
      interrupted_(std::move(interrupted)),
      prompts_(yes, err),
      observer_(workspace) {
  PortAccess access;
  access.create = port_.create;  // empty: the system's serial port
  access.trace = port_.trace;
  if (port_.device_path) {
    std::string path = *port_.device_path;
    access.name = [path](int) { return path; };
  }
  access.timing.read_constant_ms = static_cast<std::uint32_t>(port_.timeout_ms);
  job_.SetPortAccess(std::move(access));
  if (progress_bar_) {
    observer_.on_progress = [this](int position, int maximum) {
      DrawProgress(position, maximum);
    };
  }
}

void CliJobRunner::DrawProgress(int position, int maximum) {
  if (maximum <= 0) return;
  if (position <= 0) {
    if (progress_drawn_) err_ << "\r\033[K" << std::flush;
    progress_drawn_ = false;
    return;
  }
  const int filled = position * kProgressWidth / maximum;
  err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
       << std::string(static_cast<std::size_t>(kProgressWidth - filled), ' ')
       << "] " << position << "/" << maximum << std::flush;
  progress_drawn_ = true;
}

CliJobResult CliJobRunner::Run(const std::function<bool(LinkContext&)>& start) {
  CliJobResult outcome;
  observer_.ClearRecord();
  job_.SetLineValues(LineValuesOf(workspace_));
  LinkContext context{workspace_, job_, observer_, prompts_};
  outcome.started = start(context);
  if (!outcome.started) {
    // A prepared job that was never started (a question refused after the
    // preparation) must not block the next one.
    if (job_.prepared() && !job_.running()) job_.Cancel();
    return outcome;
  }
  if (interrupted_) {
    // Interrupt requests arrive as a polled flag, so the wait turns into a
    // short poll; the worker never waits for this thread.
    while (!observer_.Pump()) {
      if (interrupted_()) job_.RequestAbort();
      std::this_thread::sleep_for(kInterruptPoll);
    }
    outcome.succeeded = observer_.succeeded();
  } else {
    outcome.succeeded = observer_.WaitForJob();
  }
  job_.Join();
  if (progress_drawn_) {
    err_ << "\r\033[K" << std::flush;
    progress_drawn_ = false;
  }
  outcome.status = observer_.last_status();
  outcome.outcome = observer_.outcome();
  // The worker tells why the port failed before the job ends.
  outcome.port_failure = observer_.port_failure().value_or(PortFailure{});
  return outcome;
}

std::string CliJobRunner::FailureReport(const CliJobResult& outcome) {
  std::string text = outcome.status;
  const std::string reason = DescribePortFailure(outcome.port_failure);
  if (!reason.empty()) {
    if (!text.empty()) text += "\n";
    text += reason;
  }
  return text;
}

}  // namespace lumera
