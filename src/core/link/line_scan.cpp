#include "core/link/line_scan.h"

#include <algorithm>
#include <vector>

namespace lumera {
namespace {

using Clock = std::chrono::steady_clock;

// A number that stayed silent under the short wait, and when it was asked:
// until the full wait has passed its reply may still come.
struct Pending {
  int number = 0;
  Clock::time_point asked{};
};

class Scan {
 public:
  Scan(SerialPort& port, const ScanSettings& settings, const ScanHooks& hooks)
      : port_(port), settings_(settings), hooks_(hooks) {
    pending_.reserve(256);
  }

  ScanReport Run();

 private:
  std::chrono::milliseconds ShortWait() const {
    if (settings_.fixed_wait) return *settings_.fixed_wait;
    return ScanWait(settings_.baud,
                    line_delay_.value_or(std::chrono::microseconds{0}));
  }
  std::chrono::milliseconds FullWait() const {
    return std::max(kScanFullWait, ShortWait());
  }
  // False when the line failed.
  bool Ask(int number, std::chrono::milliseconds wait, ProbeResult& result);
  // False when the line failed or never fell quiet.
  bool AskAgain(int number);
  bool Settle();
  // After the last number: a pending number's reply may still come.
  void HearOutLastReplies();
  void Learn(const ProbeResult& result);
  bool Ended() const { return report_.line_failed || report_.line_noisy; }
  bool Stopped() {
    if (!report_.stopped && hooks_.stop) report_.stopped = hooks_.stop();
    return report_.stopped;
  }

  SerialPort& port_;
  const ScanSettings& settings_;
  const ScanHooks& hooks_;
  ScanReport report_;
  std::vector<Pending> pending_;
  // The least delay a sound reply showed beyond its time on the wire: the
  // adapter's share, common to every controller on the line.
  std::optional<std::chrono::microseconds> line_delay_;
  // The line still brought bytes before the last ask again.
  bool unsettled_ = false;
};

bool Scan::Ask(int number, std::chrono::milliseconds wait,
               ProbeResult& result) {
  ++report_.requests;
  result = ProbeVersion(port_, static_cast<std::uint8_t>(number), wait);
  if (hooks_.probed) hooks_.probed(result);
  if (result.outcome == ProbeOutcome::kLineFailed) {
    report_.line_failed = true;
    return false;
  }
  Learn(result);
  return true;
}

bool Scan::AskAgain(int number) {
  ++report_.asked_again;
  return Settle() && Ask(number, FullWait(), report_.numbers[number]);
}

bool Scan::Settle() {
  const Settled settled = SettleLine(port_, ShortWait());
  unsettled_ = settled.dropped > 0;
  report_.line_noisy = !settled.quiet;
  return settled.quiet;
}

void Scan::HearOutLastReplies() {
  if (pending_.empty()) return;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(
      pending_.back().asked + FullWait() - Clock::now());
  if (left.count() <= 0) return;
  const LineRead read = ReadLineBurst(port_, left);
  if (read.failed) {
    report_.line_failed = true;
    return;
  }
  if (read.total == 0) return;
  std::erase_if(pending_, [&](const Pending& p) {
    return p.asked + FullWait() < read.first;
  });
  for (const Pending& p : pending_) {
    if (Stopped() || !AskAgain(p.number)) break;
  }
  pending_.clear();
}

void Scan::Learn(const ProbeResult& result) {
  if (result.outcome != ProbeOutcome::kPresent) return;
  const auto wire = WireTime(kVersionRequestSize + 1, settings_.baud);
  const auto delay =
      std::max(std::chrono::microseconds{0}, result.first_byte - wire);
  line_delay_ = std::min(line_delay_.value_or(delay), delay);
}

ScanReport Scan::Run() {
  for (int number = settings_.from; number <= settings_.to; ++number) {
    if (Stopped()) break;
    report_.last_number = number;
    if (hooks_.asking) {
      const auto begin = report_.numbers.begin();
      hooks_.asking(number, static_cast<int>(std::count_if(
                                begin + settings_.from, begin + number,
                                [](const ProbeResult& r) {
                                  return r.outcome == ProbeOutcome::kPresent;
                                })));
    }
    const Clock::time_point asked = Clock::now();
    ProbeResult result;
    if (!Ask(number, ShortWait(), result)) break;
    report_.numbers[number] = result;
    if (result.outcome == ProbeOutcome::kAbsent) {
      pending_.push_back({number, asked});
      continue;
    }
    // Bytes came: they may be the late reply of a number still pending.
    const Clock::time_point arrived = asked + result.first_byte;
    std::erase_if(pending_, [&](const Pending& p) {
      return p.asked + FullWait() < arrived;
    });
    if (pending_.empty()) {
      // A read cut short leaves the rest for the next number, unless the
      // line falls quiet now.
      if (result.cut_short && !Settle()) break;
      continue;
    }
    if (!AskAgain(number)) break;
    // The same answer twice, on a line that had nothing more to say, is
    // this number's own; anything else means the first bytes were (or were
    // mixed with) another number's late reply.
    const ProbeResult& again = report_.numbers[number];
    if (again.outcome == result.outcome && !unsettled_) continue;
    for (const Pending& p : pending_) {
      if (Stopped() || !AskAgain(p.number)) break;
    }
    pending_.clear();
    if (Ended()) break;
  }
  if (!Stopped() && !Ended()) HearOutLastReplies();
  report_.wait = ShortWait();
  return report_;
}

}  // namespace

std::chrono::milliseconds ScanWait(int baud,
                                   std::chrono::microseconds line_delay) {
  // The delay is measured, and a fraction of a millisecond of it is the
  // computer's own scheduling; a reply it makes late is still caught.
  return std::chrono::ceil<std::chrono::milliseconds>(
             WireTime(kVersionRequestSize + 1, baud) + kControllerAnswerTime) +
         std::chrono::floor<std::chrono::milliseconds>(line_delay);
}

ScanReport ScanLine(SerialPort& port, const ScanSettings& settings,
                    const ScanHooks& hooks) {
  return Scan(port, settings, hooks).Run();
}

}  // namespace lumera
