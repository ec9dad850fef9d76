#include "core/session/job_runner.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include "core/link/frames.h"
#include "core/session/workspace.h"

namespace lumera {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kPoll{2};

}  // namespace

std::string JobRunResult::FailureReport(std::string_view between) const {
  std::string text = status;
  const std::string reason = DescribePortFailure(port_failure);
  if (!reason.empty()) {
    if (!text.empty()) text += between;
    text += reason;
  }
  return text;
}

bool JobRunResult::RefusedAtOnce() const {
  const int error = port_failure.system_error;
  return !succeeded && frames_written <= 1 &&
         (error == ECONNREFUSED || error == ECONNRESET || error == EPIPE);
}

bool JobRunResult::Silent() const {
  return frames_written <= 1 && port_failure.system_error == 0 &&
         (unanswered || outcome.silent());
}

bool JobRunner::RunPrompts::Ask(std::string_view text) {
  const bool yes = inner_.Ask(text);
  refused = refused || !yes;
  return yes;
}

void JobRunner::RunPrompts::ShowWarning(std::string_view text) {
  inner_.ShowWarning(text);
  refused = true;
  warning = text;
}

void JobRunner::RunPrompts::Clear() {
  refused = false;
  warning.clear();
}

JobRunner::JobRunner(Workspace& workspace, JobPrompts& prompts,
                     JobRunnerSettings settings)
    : workspace_(workspace),
      settings_(std::move(settings)),
      prompts_(prompts),
      observer_(workspace) {
  job_.SetPortAccess(settings_.port);
  observer_.on_progress = settings_.on_progress;
}

JobRunResult JobRunner::Run(const std::function<bool(LinkContext&)>& start) {
  JobRunResult result;
  observer_.ClearRecord();
  prompts_.Clear();
  job_.SetLineValues(LineValuesOf(workspace_));
  LinkContext context{workspace_, job_, observer_, prompts_};
  result.started = start(context);
  result.refused = prompts_.refused;
  if (!result.started) {
    // A prepared job that was never started (a question refused after the
    // preparation) must not block the next one.
    if (job_.prepared() && !job_.running()) job_.Cancel();
    result.status =
        prompts_.warning.empty() ? std::string(kNotDoneText) : prompts_.warning;
    return result;
  }
  // A radio reply is waited for until the job is aborted; here nobody is
  // there to abort it, so a request unanswered for twice the time-out ends
  // the job.
  const bool radio = LineValuesOf(workspace_).radio.enabled;
  const auto silence =
      std::chrono::milliseconds(2 * settings_.port.timing.read_constant_ms);
  int frames = -1;
  Clock::time_point last_frame = Clock::now();
  bool unanswered = false;
  bool aborted = false;
  while (!observer_.Pump()) {
    if (settings_.abort_requested && settings_.abort_requested()) {
      aborted = true;
      job_.RequestAbort();
    }
    if (observer_.frames_written() != frames) {
      frames = observer_.frames_written();
      last_frame = Clock::now();
    } else if (radio && !unanswered && Clock::now() - last_frame > silence) {
      unanswered = true;
      job_.RequestAbort();
    }
    std::this_thread::sleep_for(kPoll);
  }
  job_.Join();
  result.succeeded = observer_.succeeded();
  result.outcome = observer_.outcome();
  result.unanswered = unanswered && !aborted;
  result.status = result.unanswered ? std::string(kReplyTooShortText)
                                    : observer_.last_status();
  // The worker tells why the port failed before the job ends.
  result.port_failure = observer_.port_failure().value_or(PortFailure{});
  result.frames_written = observer_.frames_written();
  return result;
}

}  // namespace lumera
