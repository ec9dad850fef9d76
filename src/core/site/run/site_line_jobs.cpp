#include "core/site/run/site_line_jobs.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include "core/link/frames.h"

namespace lumera {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kPoll{2};
constexpr std::chrono::milliseconds kRetryPause{100};

bool AllDigits(const std::string& text) {
  if (text.empty() || text.size() > 6) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::string SiteJobResult::Failure() const {
  std::string text = status;
  const std::string reason = DescribePortFailure(port_failure);
  if (!reason.empty()) {
    if (!text.empty()) text += " ";
    text += reason;
  }
  return text;
}

bool SiteJobResult::RefusedAtOnce() const {
  const int error = port_failure.system_error;
  return !succeeded && frames_written <= 1 &&
         (error == ECONNREFUSED || error == ECONNRESET || error == EPIPE);
}

bool SiteJobResult::Silent() const {
  return frames_written <= 1 && port_failure.system_error == 0 &&
         (unanswered || outcome.silent());
}

SiteLineJobs::SiteLineJobs(const SiteLine& line, const SiteRunOptions& options,
                           const std::atomic<bool>& abort)
    : line_(line),
      options_(options),
      abort_(abort),
      workspace_(std::make_unique<Workspace>()),
      observer_(*workspace_) {
  PortAccess access;
  access.create = options.create_port;
  if (!AllDigits(line.port)) {
    const std::string name = line.port;
    access.name = [name](int) { return name; };
  } else {
    workspace_->settings.port_number = std::stoi(line.port);
  }
  access.timing.read_constant_ms =
      static_cast<std::uint32_t>(options.timeout_ms);
  job_.SetPortAccess(std::move(access));
}

void SiteLineJobs::Address(const SiteController& controller) {
  ShellSettings& settings = ws().settings;
  settings.controller_address = controller.number;
  settings.radio_option = line_.radio_point ? 1 : 0;
  if (controller.target) settings.target_radio_address = *controller.target;
  ws().link.radio_mode = RadioMode::kPoint;
}

SiteJobResult SiteLineJobs::Run(
    const std::function<bool(LinkContext&)>& start) {
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(options_.refused_retry_ms);
  for (;;) {
    SiteJobResult result = RunOnce(start);
    if (!result.RefusedAtOnce() || abort_.load() ||
        Clock::now() + kRetryPause > deadline) {
      return result;
    }
    std::this_thread::sleep_for(kRetryPause);
  }
}

SiteJobResult SiteLineJobs::RunOnce(
    const std::function<bool(LinkContext&)>& start) {
  SiteJobResult result;
  observer_.ClearRecord();
  job_.SetLineValues(LineValuesOf(ws()));
  LinkContext context{ws(), job_, observer_, prompts_};
  result.started = start(context);
  if (!result.started) {
    if (job_.prepared() && !job_.running()) job_.Cancel();
    result.status = prompts_.warning.empty() ? "Polecenie nie zostało wykonane."
                                             : prompts_.warning;
    return result;
  }
  // A radio reply is waited for until the job is aborted; on a site one
  // silent target must not hold its line, so a request that has gone
  // unanswered for twice the time-out ends the job.
  const auto silence = std::chrono::milliseconds(2 * options_.timeout_ms);
  int frames = -1;
  Clock::time_point last_frame = Clock::now();
  bool unanswered = false;
  while (!observer_.Pump()) {
    if (abort_.load()) job_.RequestAbort();
    if (observer_.frames_written() != frames) {
      frames = observer_.frames_written();
      last_frame = Clock::now();
    } else if (line_.radio_point && !unanswered &&
               Clock::now() - last_frame > silence) {
      unanswered = true;
      job_.RequestAbort();
    }
    std::this_thread::sleep_for(kPoll);
  }
  job_.Join();
  result.succeeded = observer_.succeeded();
  result.outcome = observer_.outcome();
  result.unanswered = unanswered && !abort_.load();
  result.status = result.unanswered ? std::string(kReplyTooShortText)
                                    : observer_.last_status();
  result.port_failure = observer_.port_failure().value_or(PortFailure{});
  result.frames_written = observer_.frames_written();
  return result;
}

}  // namespace lumera
