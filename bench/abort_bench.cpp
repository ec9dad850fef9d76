// How long "Przerwij" (and Ctrl-C, and closing the window) takes to end a
// job whose reply read waits: from the abort to the worker's end, through
// the system's serial port on a pseudo-terminal. The line is silent (the
// read would wait its 3 s) or never goes quiet (a device streaming text).
// state.range(0): 0 silent, 1 babbling.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "core/link/posix_serial_port.h"
#include "core/link/transfer_job.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"
#include "support/fake_job_prompts.h"

namespace lumera {
namespace {

using Clock = std::chrono::steady_clock;

// The far end of a pseudo-terminal: says nothing, or streams a line of text
// at about 38400 baud; what the job writes is read and dropped.
class FarEnd {
 public:
  explicit FarEnd(bool babbling) {
    int slave = -1;
    char name[128] = {};
    if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) return;
    ::close(slave);
    path_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    thread_ = std::thread([this, babbling] { Run(babbling); });
  }
  ~FarEnd() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) ::close(master_);
  }
  FarEnd(const FarEnd&) = delete;
  FarEnd& operator=(const FarEnd&) = delete;
  const std::string& path() const { return path_; }

 private:
  void Run(bool babbling) {
    const std::string text = "+RADIO READY 0000 OK\r\n";
    char drop[256];
    while (!stop_) {
      if (babbling) {
        [[maybe_unused]] const ssize_t w =
            ::write(master_, text.data(), text.size());
      }
      [[maybe_unused]] const ssize_t r = ::read(master_, drop, sizeof drop);
      std::this_thread::sleep_for(std::chrono::microseconds(
          static_cast<long>(text.size()) * 10 * 1000000 / kLineBaudRate));
    }
  }

  int master_ = -1;
  std::string path_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void BM_AbortDuringAReplyRead(benchmark::State& state) {
  FarEnd far(state.range(0) != 0);
  if (far.path().empty()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  Workspace workspace;
  FakeJobPrompts prompts;
  DirectObserver observer(workspace);
  TransferJob job;
  PortAccess access;
  access.create = [] { return std::make_unique<PosixSerialPort>(PortRoots{}); };
  const std::string path = far.path();
  access.name = [path](int) { return path; };
  job.SetPortAccess(access);
  int round = 0;
  for (auto _ : state) {
    observer.ClearRecord();
    if (!job.Prepare({JobDirection::kReceive, false, false, true}, prompts) ||
        !job.Queue(RequestCode::kReadVersion) || !job.Start(observer)) {
      state.SkipWithError("the job did not start");
      break;
    }
    // Well into the read (the port is open, the request out), at a moment
    // that moves across the port's 50 ms wait slices.
    std::this_thread::sleep_for(
        std::chrono::milliseconds(200 + 7 * (round++ % 8)));
    const Clock::time_point asked = Clock::now();
    job.RequestAbort();
    observer.WaitForJob();
    state.SetIterationTime(
        std::chrono::duration<double>(Clock::now() - asked).count());
    job.Join();
    if (observer.last_status() != kAbortText) {
      state.SkipWithError(observer.last_status().c_str());
      break;
    }
  }
}
BENCHMARK(BM_AbortDuringAReplyRead)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(16)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumera
