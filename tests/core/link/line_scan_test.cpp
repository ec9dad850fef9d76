#include "core/link/line_scan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/link/operations.h"
#include "support/babbling_line.h"
#include "support/fake_serial_port.h"
#include "support/reply_frames.h"

namespace lumera {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kVersion = 0x12;

Bytes VersionReply(std::uint8_t number) {
  return ReplyFrame(
      number, static_cast<std::uint8_t>(RequestCode::kReadVersion), {kVersion});
}

Bytes Cut(Bytes frame) {
  frame.pop_back();
  return frame;
}

struct ClassifyCase {
  std::string name;
  Bytes bytes;
};

class ClassifyTest : public ::testing::TestWithParam<ClassifyCase> {};

// Bytes a lax reader could take for a reply: each would print a controller
// with a made-up version instead of the line's fault.
TEST_P(ClassifyTest, BytesThatAreNoWholeReplyAreGarbled) {
  const ProbeResult result = ClassifyVersionReply(GetParam().bytes);
  EXPECT_EQ(result.outcome, ProbeOutcome::kGarbled);
  EXPECT_EQ(result.reason, GarbleReason::kNoFrame);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ClassifyTest,
    ::testing::Values(
        ClassifyCase{"NoiseBefore", Concat({{0x00}, VersionReply(3)})},
        ClassifyCase{"Cut", Cut(VersionReply(3))},
        ClassifyCase{"OtherCode", ReplyFrame(3, 0x4E, {kVersion})}),
    [](const auto& info) { return info.param.name; });

// What the line brings after the n-th request (from 1) to a number.
using Script = std::map<std::pair<int, int>, std::vector<ReadResult>>;

// `first`, then a pause of the line, then `then`.
std::vector<ReadResult> Later(const Bytes& first, const Bytes& then) {
  std::vector<ReadResult> rest = In(then);
  rest.insert(rest.begin(), FakeSerialPort::Timeout());
  return In(first, rest);
}

struct ScanCase {
  std::string name;
  int from;
  Script script;
  std::vector<int> present;
  int asked_again;
  friend void PrintTo(const ScanCase& c, std::ostream* out) { *out << c.name; }
};

class LateReplyTest : public ::testing::TestWithParam<ScanCase> {};

// Replies come at once here, so every silent number is still pending when
// bytes arrive: the scan's choice of whom to ask again is all that is
// tested.
TEST_P(LateReplyTest, EveryNumberEndsInItsOwnClass) {
  const ScanCase& c = GetParam();
  FakeSerialPort port;
  ASSERT_TRUE(OpenDirectLine(port, "COM1"));
  std::map<int, int> asks;
  port.on_write = [&](std::span<const std::uint8_t> frame, FakeSerialPort& p) {
    const int number = frame[2];
    const auto line = c.script.find({number, ++asks[number]});
    if (line == c.script.end()) return;
    p.incoming.insert(p.incoming.end(), line->second.begin(),
                      line->second.end());
  };
  ScanSettings settings;
  settings.from = c.from;
  settings.to = 8;
  const ScanReport report = ScanLine(port, settings);
  ASSERT_FALSE(report.line_failed);
  for (int number = c.from; number <= 8; ++number) {
    const bool present = std::count(c.present.begin(), c.present.end(), number);
    EXPECT_EQ(report.numbers[number].outcome,
              present ? ProbeOutcome::kPresent : ProbeOutcome::kAbsent)
        << "number " << number;
  }
  EXPECT_EQ(report.asked_again, c.asked_again);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LateReplyTest,
    ::testing::Values(
        // 5's reply comes in 6's window; 6 asked again is silent, so the
        // pending numbers 1 to 5 are asked again and 5 answers.
        ScanCase{"LateReplyGoesToItsOwner",
                 1,
                 {{{6, 1}, In(VersionReply(5))}, {{5, 2}, In(VersionReply(5))}},
                 {5},
                 6},
        // A controller that answers the same twice is itself: the silent
        // numbers before it are not asked again (the scan stays fast).
        ScanCase{"OwnReplyAfterSilentNumbers",
                 1,
                 {{{6, 1}, In(VersionReply(6))}, {{6, 2}, In(VersionReply(6))}},
                 {6},
                 1},
        // Garbage, then a sound reply alone: a late reply collided with 6's.
        ScanCase{"CollisionWithALateReply",
                 1,
                 {{{6, 1}, In({0x00, 0x55, 0x00})},
                  {{6, 2}, In(VersionReply(6))},
                  {{5, 2}, In(VersionReply(5))}},
                 {5, 6},
                 6},
        // A late reply right behind 6's own: neither may be lost.
        ScanCase{"TwoRepliesBackToBack",
                 1,
                 {{{6, 1}, In(Concat({VersionReply(5), VersionReply(6)}))},
                  {{6, 2}, In(VersionReply(6))},
                  {{5, 2}, In(VersionReply(5))}},
                 {5, 6},
                 6},
        // 5's late reply fills 6's window and 6's own slow one follows: 6
        // answers the same again, but the line was not quiet, so 5 is
        // asked again too.
        ScanCase{"LateReplyWhileTheNextOnesOwnArrives",
                 1,
                 {{{6, 1}, Later(VersionReply(5), VersionReply(6))},
                  {{6, 2}, In(VersionReply(6))},
                  {{5, 2}, In(VersionReply(5))}},
                 {5, 6},
                 6},
        ScanCase{"ControllerAtTheRangesEnd",
                 1,
                 {{{8, 1}, In(VersionReply(8))}, {{8, 2}, In(VersionReply(8))}},
                 {8},
                 1},
        // The last number answers after its short wait: the line is heard
        // out, and the numbers still pending are asked again.
        ScanCase{"LateReplyAtTheRangesEnd",
                 1,
                 {{{8, 1}, Later({}, VersionReply(8))},
                  {{8, 2}, In(VersionReply(8))}},
                 {8},
                 8}),
    [](const auto& info) { return info.param.name; });

// A controller that answers `delay` after each request to it, on a line
// whose reads wait out their time-out as a real port's do.
class SlowController : public SerialPort {
 public:
  SlowController(std::uint8_t number, std::chrono::milliseconds delay)
      : number_(number), delay_(delay) {}
  bool Open(std::string_view) override { return open_ = true; }
  bool SetBuffers(int, int) override { return true; }
  bool SetLine(const LineSettings&) override { return true; }
  bool SetTimeouts(const SerialTiming& timing) override {
    timeout_ = std::chrono::milliseconds(timing.read_constant_ms);
    return true;
  }
  void Purge() override { bytes_.clear(); }
  int Write(std::span<const std::uint8_t> frame) override {
    if (frame.size() > 2 && frame[2] == number_) {
      due_ = Clock::now() + delay_;
      const Bytes reply = VersionReply(number_);
      bytes_.assign(reply.begin(), reply.end());
    }
    return static_cast<int>(frame.size());
  }
  ReadResult ReadByte() override {
    const Clock::time_point until = Clock::now() + timeout_;
    if (bytes_.empty() || due_ > until) {
      std::this_thread::sleep_until(until);
      return FakeSerialPort::Timeout();
    }
    std::this_thread::sleep_until(due_);
    const std::uint8_t byte = bytes_.front();
    bytes_.pop_front();
    return FakeSerialPort::Byte(byte);
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  const PortFailure& LastFailure() const override { return failure_; }

 private:
  using Clock = std::chrono::steady_clock;
  std::uint8_t number_;
  std::chrono::milliseconds delay_;
  std::chrono::milliseconds timeout_{0};
  Clock::time_point due_{};
  std::deque<std::uint8_t> bytes_;
  bool open_ = false;
  PortFailure failure_;
};

// The last number of the range answers later than the short wait but
// within the full one: the scan hears the line out for the full wait and
// finds it.
TEST(LineScanTest, ALateControllerAtTheRangesEndIsFound) {
  SlowController port(8, kScanFullWait / 2);
  ASSERT_TRUE(OpenDirectLine(port, "COM1"));
  ScanSettings settings;
  settings.from = 8;
  settings.to = 8;
  EXPECT_EQ(ScanLine(port, settings).numbers[8].outcome,
            ProbeOutcome::kPresent);
}

// A wrong port, or a device that streams text: without a pause no number
// can be told apart, and the scan ends at once instead of never.
TEST(LineScanTest, ALineThatNeverFallsQuietEndsTheScan) {
  BabblingLine line({'+', 'R', 'E', 'A', 'D', 'Y', '\r', '\n'}, {});
  const std::unique_ptr<SerialPort> port = line.MakePort();
  ASSERT_TRUE(OpenDirectLine(*port, "COM1"));
  const ScanReport report = ScanLine(*port, ScanSettings{});
  EXPECT_TRUE(report.line_noisy);
  EXPECT_EQ(report.requests, 1);
  EXPECT_EQ(report.numbers[1].outcome, ProbeOutcome::kGarbled);
}

TEST(LineScanTest, FailedLineEndsTheScanAtThatNumber) {
  FakeSerialPort port;
  ASSERT_TRUE(OpenDirectLine(port, "COM1"));
  port.on_write = [](std::span<const std::uint8_t> frame, FakeSerialPort& p) {
    if (frame[2] == 3) p.incoming.push_back(FakeSerialPort::Failure());
  };
  const ScanReport report = ScanLine(port, ScanSettings{});
  EXPECT_TRUE(report.line_failed);
  EXPECT_EQ(report.requests, 3);
}

}  // namespace
}  // namespace lumera
