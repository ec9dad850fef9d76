// Heap allocations while a job runs: the global operator new is replaced by
// one that counts, and records where, every allocation made on the worker
// thread. A full nine-segment upload and download run against an in-memory
// controller, so the count is the link's and the reply handling's alone.
//
//   lumera_job_allocations   prints one line per job and the call sites
#include <execinfo.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <span>
#include <string>
#include <thread>

#include "core/link/frames.h"
#include "core/link/transfer_job.h"
#include "core/link/transfer_observer.h"
#include "core/session/jobs.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"
#include "support/fake_job_prompts.h"

namespace {

// Allocations are counted on every thread but the main one.
std::atomic<std::thread::id> g_main_thread;
std::atomic<bool> g_counting{false};
std::atomic<long> g_count{0};

constexpr int kSiteDepth = 10;
constexpr int kMaxSites = 64;
struct Site {
  std::array<void*, kSiteDepth> frames{};
  int depth = 0;
};
std::array<Site, kMaxSites> g_sites;
std::atomic<int> g_site_count{0};
thread_local bool t_inside = false;

void Note() {
  if (!g_counting.load(std::memory_order_relaxed) || t_inside ||
      std::this_thread::get_id() == g_main_thread.load()) {
    return;
  }
  t_inside = true;
  g_count.fetch_add(1);
  const int slot = g_site_count.fetch_add(1);
  if (slot < kMaxSites) {
    g_sites[slot].depth = backtrace(g_sites[slot].frames.data(), kSiteDepth);
  }
  t_inside = false;
}

}  // namespace

void* operator new(std::size_t size) {
  Note();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace lumera {
namespace {

// A controller in memory: each request frame written is answered at once
// with a sound reply of the length the request expects.
class InstantController : public SerialPort {
 public:
  bool Open(std::string_view) override { return open_ = true; }
  bool SetBuffers(int, int) override { return true; }
  bool SetLine(const LineSettings&) override { return true; }
  bool SetTimeouts(const SerialTiming&) override { return true; }
  void Purge() override { size_ = next_ = 0; }
  int Write(std::span<const std::uint8_t> frame) override {
    const std::uint8_t code = frame[4];
    std::size_t data = 0;
    if (code == 0x4E) data = 3;  // ReadCommand: the command's three bytes
    reply_[0] = 0x88;
    reply_[1] = 0xFF;
    reply_[2] = frame[2];
    reply_[3] = static_cast<std::uint8_t>(data + 2);
    reply_[4] = code;
    for (std::size_t i = 0; i < data; ++i) reply_[5 + i] = 1;
    size_ = 5 + data;
    reply_[size_] = FrameSum({reply_.data(), size_});
    ++size_;
    next_ = 0;
    return static_cast<int>(frame.size());
  }
  ReadResult ReadByte() override {
    if (next_ == size_) return {ReadStatus::kTimeout, 0};
    return {ReadStatus::kByte, reply_[next_++]};
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  const PortFailure& LastFailure() const override { return failure_; }

 private:
  std::array<std::uint8_t, 16> reply_{};
  std::size_t size_ = 0;
  std::size_t next_ = 0;
  bool open_ = false;
  PortFailure failure_;
};

// Applies replies to the workspace as the command line does, and records
// nothing else.
class QuietObserver : public TransferObserver {
 public:
  explicit QuietObserver(Workspace& workspace) : workspace_(workspace) {}
  void SetStatusLine(std::string_view) override {}
  void SetProgressRange(int) override {}
  void StepProgress() override {}
  void ResetProgress() override {}
  void ReplyReceived(const ReplyRecord& record) override {
    lumera::ApplyReply(workspace_, record);
  }
  void FinalReplyReceived(const ReplyRecord& record) override {
    PostProcessReply(workspace_, record);
  }
  void PositionReported(int, int) override {}
  void RequestsCompleted() override {}
  void JobFinished(const JobOutcome& outcome) override {
    succeeded_ = outcome.succeeded();
    finished_ = true;
  }
  bool finished() const { return finished_; }
  bool succeeded() const { return succeeded_; }
  void Reset() { finished_ = false; }

 private:
  Workspace& workspace_;
  std::atomic<bool> finished_{false};
  std::atomic<bool> succeeded_{false};
};

template <typename Start>
void Measure(const char* name, Start start) {
  Workspace workspace;
  QuietObserver observer(workspace);
  FakeJobPrompts prompts;
  TransferJob job;
  PortAccess access;
  access.name = [](int) { return std::string("memory"); };
  access.create = [] { return std::make_unique<InstantController>(); };
  job.SetPortAccess(access);
  LinkContext context{workspace, job, observer, prompts};
  const EditorSide editor;

  g_count = 0;
  g_site_count = 0;
  g_counting = true;
  const bool started = start(context, editor);
  while (started && !observer.finished()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  job.Join();
  g_counting = false;
  std::printf("%s: %s, %ld allocations on the worker thread\n", name,
              observer.succeeded() ? "succeeded" : "FAILED", g_count.load());
  const int sites = std::min(g_site_count.load(), kMaxSites);
  for (int s = 0; s < sites; ++s) {
    std::printf("  allocation %d:\n", s + 1);
    std::fflush(stdout);
    // Frame 0 is Note, frame 1 operator new.
    backtrace_symbols_fd(g_sites[s].frames.data() + 2,
                         std::max(0, g_sites[s].depth - 2), STDOUT_FILENO);
  }
}

}  // namespace
}  // namespace lumera

int main() {
  g_main_thread = std::this_thread::get_id();
  // backtrace loads its unwinder on first use; not on the worker's count.
  std::array<void*, 2> warm;
  backtrace(warm.data(), 2);
  lumera::Measure("upload of nine segments", lumera::StartUploadProgram);
  lumera::Measure("download of nine segments", lumera::StartDownloadProgram);
  return 0;
}
