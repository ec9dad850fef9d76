#include "core/site/run/line_runner.h"

#include <chrono>
#include <string>
#include <thread>

#include "core/model/typed_number.h"

namespace lumera {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kRetryPause{100};
// More digits than a COM number has: a device name.
constexpr std::size_t kComNumberDigits = 6;

}  // namespace

SiteLineRunner::SiteLineRunner(const SiteLine& line,
                               const SiteRunSettings& settings,
                               const std::atomic<bool>& abort)
    : line_(line),
      settings_(settings),
      abort_(abort),
      workspace_(std::make_unique<Workspace>()) {
  JobRunnerSettings runner;
  runner.port.create = settings.create_port;
  if (line.port.size() <= kComNumberDigits && AllDigits(line.port)) {
    workspace_->settings.port_number = std::stoi(line.port);
  } else {
    runner.port.name = [name = line.port](int) { return name; };
  }
  runner.port.timing.read_constant_ms =
      static_cast<std::uint32_t>(settings.timeout_ms);
  runner.abort_requested = [&abort] { return abort.load(); };
  runner_ =
      std::make_unique<JobRunner>(*workspace_, prompts_, std::move(runner));
}

void SiteLineRunner::Address(const SiteController& controller) {
  ShellSettings& settings = ws().settings;
  settings.controller_address = controller.number;
  settings.radio_option = line_.radio_point ? 1 : 0;
  if (controller.target) settings.target_radio_address = *controller.target;
  ws().link.radio_mode = RadioMode::kPoint;
}

JobRunResult SiteLineRunner::Run(
    const std::function<bool(LinkContext&)>& start) {
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(settings_.refused_retry_ms);
  for (;;) {
    JobRunResult result = runner_->Run(start);
    if (!result.RefusedAtOnce() || abort_.load() ||
        Clock::now() + kRetryPause > deadline) {
      return result;
    }
    std::this_thread::sleep_for(kRetryPause);
  }
}

}  // namespace lumera
