// A full upload of segments 1 to 9 (2297 frames, each acknowledged) through
// the system's serial port to a peer on a pseudo-terminal that answers at
// once: the cost of the job machinery and the port, without line pacing.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/link/line_trace.h"
#include "core/link/posix_serial_port.h"
#include "core/link/raw_terminal.h"
#include "core/link/transfer_job.h"
#include "core/session/jobs.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"
#include "job_loop.h"
#include "support/fake_job_prompts.h"

namespace lumera {
namespace {

// Acknowledges every request frame that expects a reply.
class AckPeer {
 public:
  AckPeer() {
    if (std::optional<PseudoTerminal> terminal = OpenRawPseudoTerminal()) {
      master_ = terminal->master;
      slave_ = terminal->client;
      device_ = std::move(terminal->path);
    }
    thread_ = std::thread([this] { Run(); });
  }
  ~AckPeer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
  }
  const std::string& device() const { return device_; }
  bool ok() const { return slave_ >= 0; }

 private:
  void Run() {
    std::vector<std::uint8_t> frame;
    while (!stop_) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 10) <= 0 || (p.revents & POLLIN) == 0) continue;
      std::uint8_t buffer[512];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      for (ssize_t k = 0; k < n; ++k) {
        if (frame.empty() && buffer[k] != 0x88) continue;
        frame.push_back(buffer[k]);
        if (frame.size() >= 4 && frame.size() == 4u + frame[3]) {
          const std::uint8_t code = frame[4];
          if (code != 64) {
            std::uint8_t reply[6] = {0x88, 0xFF, 0x01, 0x02, code, 0};
            for (int i = 0; i < 5; ++i) reply[5] += reply[i];
            [[maybe_unused]] const ssize_t w = ::write(master_, reply, 6);
          }
          frame.clear();
        }
      }
    }
  }

  int master_ = -1;
  int slave_ = -1;
  std::string device_;
  std::atomic<bool> stop_{false};
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
  AckPeer peer;
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
