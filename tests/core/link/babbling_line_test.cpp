// Jobs on lines that never let a read end by themselves: one that never
// goes quiet, and one that keeps each read waiting its whole time-out.
// Every job ends, and an abort ends it at once.
#include "support/babbling_line.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/link/frames.h"
#include "core/link/operations.h"
#include "core/link/transfer_job.h"
#include "support/fake_job_prompts.h"

namespace lumera {
namespace {

using namespace std::chrono_literals;

// A radio module's banner: no byte of it opens a frame or an envelope.
const std::vector<std::uint8_t> kText = {'+', 'R', 'E', 'A',  'D', 'Y',
                                         ' ', 'O', 'K', '\r', '\n'};

// Keeps how the job ended; read by the test after Join.
class EndObserver : public TransferObserver {
 public:
  void SetStatusLine(std::string_view text) override { status = text; }
  void SetProgressRange(int) override {}
  void StepProgress() override {}
  void ResetProgress() override {}
  void ReplyReceived(const ReplyRecord&) override {}
  void FinalReplyReceived(const ReplyRecord&) override {}
  void PositionReported(int, int) override {}
  void RequestsCompleted() override {}
  void JobFinished(const JobOutcome& ended) override { outcome = ended; }

  std::string status;
  JobOutcome outcome;
};

// A job of one request on `line`, started and left running.
class LineJob {
 public:
  LineJob(BabblingLine& line, bool radio) {
    PortAccess access;
    access.create = [&line] { return line.MakePort(); };
    job_.SetPortAccess(access);
    LineValues values;
    values.radio.enabled = radio;
    job_.SetLineValues(values);
  }
  bool Start(const OperationDef& operation) {
    const JobOptions receive{JobDirection::kReceive, false, false, true};
    const std::vector<std::uint8_t> payload(
        static_cast<std::size_t>(operation.payload_size), 0);
    return job_.Prepare(receive, prompts_) &&
           job_.Queue(operation.code, payload) && job_.Start(observer);
  }
  TransferJob& job() { return job_; }

  EndObserver observer;

 private:
  FakeJobPrompts prompts_;
  TransferJob job_;
};

// Each request alone, direct and by radio: a read gives up after the most
// one read takes, with the text of any short reply; a request that reads
// nothing never meets the noise.
TEST(BabblingLineTest, EveryRequestEndsAfterOneReadsWorthOfNoise) {
  for (const bool radio : {false, true}) {
    for (int i = 0; i < kOperationCount; ++i) {
      const OperationDef& operation = OperationTable()[i];
      SCOPED_TRACE(std::string(operation.name) + (radio ? " radio" : ""));
      BabblingLine line(kText, 0us);
      LineJob job(line, radio);
      ASSERT_TRUE(job.Start(operation));
      job.job().Join();
      const bool reads = operation.reply_length > 0 &&
                         operation.code != RequestCode::kLoadDefaults;
      EXPECT_EQ(job.observer.outcome.failure,
                reads ? TransferFailure::kReplyLength : TransferFailure::kNone);
      EXPECT_EQ(job.observer.status, reads ? kReplyTooShortText : kSuccessText);
      EXPECT_EQ(line.bytes_read(), reads ? kReplyReadLimit : 0);
    }
  }
}

struct AbortCase {
  std::string name;
  std::vector<std::uint8_t> pattern;  // empty: a silent line
  bool radio;
  friend void PrintTo(const AbortCase& c, std::ostream* out) { *out << c.name; }
};

class AbortTest : public testing::TestWithParam<AbortCase> {};

// With the read time-out of every job (3 s), the read in progress would
// keep the job until its end, or for ever on a line that keeps talking.
// The bound is far above what an abort takes (bench/abort_bench.cpp) and
// far below the read time-out.
TEST_P(AbortTest, EndsTheJobDuringItsRead) {
  BabblingLine line(GetParam().pattern, 100ms);
  LineJob job(line, GetParam().radio);
  ASSERT_TRUE(job.Start(
      *FindOperation(static_cast<std::uint8_t>(RequestCode::kReadVersion))));
  // Into the read: waiting on a silent line, hunting on a talking one.
  const int reads = GetParam().pattern.empty() ? 1 : 3;
  while (line.reads() < reads) std::this_thread::sleep_for(1ms);
  const auto asked = std::chrono::steady_clock::now();
  ASSERT_TRUE(job.job().RequestAbort());
  job.job().Join();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 2s);
  EXPECT_TRUE(job.observer.outcome.aborted());
  EXPECT_EQ(job.observer.status, kAbortText);
}

INSTANTIATE_TEST_SUITE_P(Lines, AbortTest,
                         testing::Values(AbortCase{"Silent", {}, false},
                                         AbortCase{"SilentRadio", {}, true},
                                         AbortCase{"Babbling", kText, false},
                                         AbortCase{"BabblingRadio", kText,
                                                   true}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace lumera
