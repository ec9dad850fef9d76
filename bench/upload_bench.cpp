// A full upload of segments 1 to 9 (2297 frames, each acknowledged) through
// the system's serial port to the virtual controller on a pseudo-terminal,
// answering at once: the cost of the job machinery, the port and the
// controller's loop, without line pacing.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <thread>

#include "core/link/line_trace.h"
#include "core/link/posix_serial_port.h"
#include "core/link/transfer_job.h"
#include "core/session/jobs.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"
#include "job_loop.h"
#include "sim/sim_controller.h"
#include "sim/sim_device.h"
#include "sim/sim_line.h"
#include "sim/sim_server.h"
#include "support/fake_job_prompts.h"

namespace lumera {
namespace {

// The virtual controller on a pseudo-terminal, served by lumera-sim's own
// loop without line pacing; the loop ends when the stop pipe is written.
class SimPeer {
 public:
  SimPeer()
      : device_(SimDevice::OpenPseudoTerminal()),
        line_({SimController(FreshControllerState(), LocalTimeOfDay)}, false) {
    if (!device_ || ::pipe(stop_.data()) != 0) return;
    thread_ = std::thread([this] { ServeLine(*device_, stop_[0], line_, 0); });
  }
  ~SimPeer() {
    if (thread_.joinable()) {
      [[maybe_unused]] const ssize_t w = ::write(stop_[1], "x", 1);
      thread_.join();
    }
    for (const int fd : stop_) {
      if (fd >= 0) ::close(fd);
    }
  }
  SimPeer(const SimPeer&) = delete;
  SimPeer& operator=(const SimPeer&) = delete;
  bool ok() const { return thread_.joinable(); }
  const std::string& device() const { return device_->Path(); }

 private:
  std::optional<SimDevice> device_;
  SimLine line_;
  std::array<int, 2> stop_{-1, -1};
  std::thread thread_;
};

// Formats every record as lumera-cli --trace does, and keeps only a count.
class CountingTrace : public LineTraceSink {
 public:
  void Record(const TraceRecord& record) override {
    FormatTraceLine(record, line_);
    ++records_;
  }
  std::int64_t records() const { return records_; }

 private:
  TraceLine line_;
  std::int64_t records_ = 0;
};

// state.range(0): 1 with a trace sink set, 0 without (the default).
void BM_UploadNineSegments(benchmark::State& state) {
  SimPeer peer;
  if (!peer.ok()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  Workspace workspace;
  FakeJobPrompts prompts;
  DirectObserver observer(workspace);
  TransferJob job;
  PortAccess access;
  access.name = [device = peer.device()](int) { return device; };
  access.create = [] { return std::make_unique<PosixSerialPort>(); };
  CountingTrace trace;
  if (state.range(0) != 0) access.trace = &trace;
  job.SetPortAccess(access);
  LinkContext context{workspace, job, observer, prompts};
  RunJobEachIteration(state, context, observer, StartUploadProgram);
  state.counters["trace_records"] =
      static_cast<double>(trace.records()) /
      static_cast<double>(
          std::max<benchmark::IterationCount>(state.iterations(), 1));
}
BENCHMARK(BM_UploadNineSegments)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace lumera
