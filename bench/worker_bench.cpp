// The worker's own cost per frame, without a line: a full download of
// segments 1 to 9 (2297 requests, each answered) from a port that answers
// from memory at once. With and without a line trace sink (state.range(0)).
#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "core/link/line_trace.h"
#include "core/link/transfer_job.h"
#include "core/session/jobs.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"
#include "job_loop.h"
#include "support/fake_job_prompts.h"

namespace lumera {
namespace {

// Answers every request from memory: ReadCommand with one command, the
// others with an acknowledgement.
class InstantPort : public SerialPort {
 public:
  bool Open(std::string_view) override { return open_ = true; }
  bool SetBuffers(int, int) override { return true; }
  bool SetLine(const LineSettings&) override { return true; }
  bool SetTimeouts(const SerialTiming&) override { return true; }
  void Purge() override { size_ = pos_ = 0; }
  int Write(std::span<const std::uint8_t> bytes) override {
    const std::uint8_t code = bytes[4];
    if (code == 78) {
      reply_ = {0x88, 0xFF, 0x01, 0x05, code, 0x01, 0x01, 0x05, 0};
      size_ = 9;
    } else {
      reply_ = {0x88, 0xFF, 0x01, 0x02, code, 0};
      size_ = 6;
    }
    for (std::size_t i = 0; i + 1 < size_; ++i) reply_[size_ - 1] += reply_[i];
    pos_ = 0;
    return static_cast<int>(bytes.size());
  }
  ReadResult ReadByte() override {
    if (pos_ >= size_) return {ReadStatus::kTimeout, 0};
    return {ReadStatus::kByte, reply_[pos_++]};
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  const PortFailure& LastFailure() const override { return failure_; }

 private:
  bool open_ = false;
  std::array<std::uint8_t, 9> reply_{};
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
  PortFailure failure_;
};

class FormattingTrace : public LineTraceSink {
 public:
  void Record(const TraceRecord& record) override {
    FormatTraceLine(record, line_);
    benchmark::DoNotOptimize(line_.size);
  }

 private:
  TraceLine line_;
};

void BM_WorkerDownloadInMemory(benchmark::State& state) {
  Workspace workspace;
  FakeJobPrompts prompts;
  DirectObserver observer(workspace);
  TransferJob job;
  PortAccess access;
  access.create = [] { return std::make_unique<InstantPort>(); };
  FormattingTrace trace;
  if (state.range(0) != 0) access.trace = &trace;
  job.SetPortAccess(access);
  LinkContext context{workspace, job, observer, prompts};
  RunJobEachIteration(state, context, observer, StartDownloadProgram);
}
BENCHMARK(BM_WorkerDownloadInMemory)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace lumera
