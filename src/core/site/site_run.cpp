#include "core/site/site_run.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

#include "core/config/clock_time.h"
#include "core/link/error_report.h"
#include "core/link/frames.h"
#include "core/model/comment_file.h"
#include "core/model/program_file.h"
#include "core/session/jobs.h"
#include "core/session/program_diff.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"
#include "core/site/sha256.h"
#include "core/site/site_jobs.h"

namespace lumera {

using Clock = std::chrono::steady_clock;

namespace {

constexpr std::chrono::milliseconds kPoll{2};
constexpr std::chrono::milliseconds kRetryPause{100};
// A clock read back further off than this was not set.
constexpr int kClockToleranceSeconds = 2;
// How many differences a verify row names.
constexpr int kDifferencesShown = 3;

class SitePrompts : public JobPrompts {
 public:
  // The site's jobs ask nothing: the plan was confirmed before they ran.
  bool Ask(std::string_view) override { return true; }
  void ShowWarning(std::string_view text) override { warning_ = text; }
  std::string warning_;
};

struct JobResult {
  bool started = false;
  bool succeeded = false;
  std::string status;
  PortFailure port_failure;
  int frames_written = 0;

  std::string Failure() const {
    std::string text = status;
    const std::string reason = DescribePortFailure(port_failure);
    if (!reason.empty()) text += (text.empty() ? "" : " ") + reason;
    return text;
  }
  bool PortOpenFailed() const { return status == kOpenPortFailedText; }
  // What a network serial server does while it still serves the previous
  // connection: it refuses the next, or takes it and drops it at once.
  bool RefusedAtOnce() const {
    const int error = port_failure.system_error;
    return !succeeded && frames_written <= 1 &&
           (error == ECONNREFUSED || error == ECONNRESET);
  }
};

int SecondsOfDay(const ClockTime& clock) {
  const auto digits = [](std::uint8_t bcd) {
    return (bcd >> 4) * 10 + (bcd & 0x0F);
  };
  return digits(clock.hour) * 3600 + digits(clock.minute) * 60 +
         digits(clock.second);
}

// Controller clock minus this computer's, folded into -12 h..+12 h so a
// read across midnight does not show a day's offset.
int ClockOffsetSeconds(const ClockTime& controller) {
  ClockTime now;
  FillClockFromLocalTime(now);
  int offset = SecondsOfDay(controller) - SecondsOfDay(now);
  if (offset > 12 * 3600) offset -= 24 * 3600;
  if (offset < -12 * 3600) offset += 24 * 3600;
  return offset;
}

std::string Signed(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%+d", value);
  return text;
}

}  // namespace

struct SiteRun::LineState {
  mutable std::mutex mutex;
  SiteLineProgress progress;
  std::vector<SiteRow> rows;
  std::thread thread;
  std::atomic<bool> finished{false};
};

// One controller's jobs on its line's own workspace, job and observer.
class ControllerJobs {
 public:
  ControllerJobs(const SiteLine& line, const SiteRunOptions& options,
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

  Workspace& ws() { return *workspace_; }

  void Address(const SiteController& controller) {
    ShellSettings& settings = ws().settings;
    settings.controller_address = controller.number;
    settings.radio_option = line_.radio_point ? 1 : 0;
    if (controller.target) settings.target_radio_address = *controller.target;
    ws().link.radio_mode = RadioMode::kPoint;
  }

  // Runs one job to its end, trying again while a network serial server
  // refuses the connection at once.
  JobResult Run(const std::function<bool(LinkContext&)>& start) {
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(options_.refused_retry_ms);
    for (;;) {
      JobResult result = RunOnce(start);
      if (!result.RefusedAtOnce() || abort_.load() ||
          Clock::now() + kRetryPause > deadline) {
        return result;
      }
      std::this_thread::sleep_for(kRetryPause);
    }
  }

 private:
  static bool AllDigits(const std::string& text) {
    if (text.empty() || text.size() > 6) return false;
    for (const char c : text) {
      if (c < '0' || c > '9') return false;
    }
    return true;
  }

  JobResult RunOnce(const std::function<bool(LinkContext&)>& start) {
    JobResult result;
    observer_.ClearRecord();
    job_.SetLineValues(LineValuesOf(ws()));
    LinkContext context{ws(), job_, observer_, prompts_};
    result.started = start(context);
    if (!result.started) {
      if (job_.prepared() && !job_.running()) job_.Cancel();
      result.status = prompts_.warning_.empty()
                          ? "Polecenie nie zostało wykonane."
                          : prompts_.warning_;
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
    result.status = unanswered && !abort_.load()
                        ? std::string(kReplyTooShortText)
                        : observer_.last_status();
    result.port_failure = observer_.port_failure().value_or(PortFailure{});
    result.frames_written = observer_.frames_written();
    return result;
  }

  const SiteLine& line_;
  const SiteRunOptions& options_;
  const std::atomic<bool>& abort_;
  std::unique_ptr<Workspace> workspace_;
  TransferJob job_;
  DirectObserver observer_;
  SitePrompts prompts_;
};

namespace {

// What one command does to one controller; fills the row's outcome, failure
// and detail. `port_failed` is set when the line's port cannot be opened.
class ControllerTask {
 public:
  ControllerTask(ControllerJobs& jobs, const SiteRunOptions& options,
                 const SiteLine& line, const SiteController& controller,
                 SiteRow& row)
      : jobs_(jobs),
        options_(options),
        line_(line),
        controller_(controller),
        row_(row) {}

  // False when the job failed; the row then holds the failure.
  bool Job(const std::function<bool(LinkContext&)>& start) {
    last_ = jobs_.Run(start);
    if (last_.succeeded) return true;
    // Silence to the first request on a port that works: nobody answers
    // to this number.
    const bool silent = last_.status == kReplyTooShortText &&
                        last_.port_failure.system_error == 0 &&
                        last_.frames_written <= 1;
    row_.outcome = silent ? SiteOutcome::kAbsent : SiteOutcome::kFailed;
    row_.failure = last_.Failure();
    return false;
  }
  const JobResult& last() const { return last_; }

  bool ReadVersion() {
    jobs_.ws().status.version_major = 0;
    jobs_.ws().status.version_minor = 0;
    return Job([](LinkContext& c) {
      return StartSingleRequest(c, {.direction = JobDirection::kReceive},
                                RequestCode::kReadVersion);
    });
  }

  std::string VersionText() {
    const ControllerStatus& s = jobs_.ws().status;
    return "wersja " + std::to_string(s.version_major) + "." +
           std::to_string(s.version_minor);
  }

  void Status() {
    if (!ReadVersion()) return;
    std::string detail = VersionText();
    FillClockFromLocalTime(jobs_.ws().config_page.clock_time);
    if (!Job(StartReadClock)) return;
    const ClockTime clock = jobs_.ws().config_page.clock_time;
    detail += ", zegar " + ClockText(clock) + " (" +
              Signed(ClockOffsetSeconds(clock)) + " s)";
    ErrorReport& report = jobs_.ws().link.error_report;
    report.pending.store(false);
    if (!Job(StartReadErrorReport)) return;
    std::string text;
    if (TakePendingErrorReport(report, text) &&
        (report.task | report.segment | report.command | report.error_number) !=
            0) {
      detail += ", błąd: " + text;
    }
    row_.detail = detail;
    row_.outcome = SiteOutcome::kDone;
  }

  bool LoadProgram(ProgramStore& store) {
    if (LoadProgramFile(store, controller_.program)) return true;
    row_.outcome = SiteOutcome::kFailed;
    row_.failure = std::string(kProgramLoadFailedText) + " " +
                   controller_.program.string();
    return false;
  }

  // Reads the commands of `program` and the slot after each segment's last
  // one, and compares them; the number of differences, -1 on a failure.
  int Compare(const ProgramStore& program) {
    ProgramStore& held = jobs_.ws().store;
    held.mutable_image() = program.image();
    if (!Job([&program](LinkContext& c) {
          return StartReadProgramCommands(c, program);
        })) {
      return -1;
    }
    ProgramDiffScope scope;
    scope.last_segment = kWholeProgramSegments;
    scope.comments = false;
    scope.configuration = false;
    const std::vector<ProgramDifference> differences =
        DiffPrograms(program, held, scope);
    std::string detail;
    for (std::size_t i = 0; i < differences.size() &&
                            i < static_cast<std::size_t>(kDifferencesShown);
         ++i) {
      detail += (i == 0 ? "" : "; ") + FormatDifference(differences[i]);
    }
    if (!differences.empty()) {
      row_.detail =
          "różnic: " + std::to_string(differences.size()) + "; " + detail;
    }
    return static_cast<int>(differences.size());
  }

  void Verify() {
    auto program = std::make_unique<ProgramStore>();
    if (!LoadProgram(*program)) return;
    const int differences = Compare(*program);
    if (differences < 0) return;
    row_.outcome =
        differences == 0 ? SiteOutcome::kDone : SiteOutcome::kDiffers;
  }

  void Upload() {
    auto program = std::make_unique<ProgramStore>();
    if (!LoadProgram(*program)) return;
    if (!ReadVersion()) return;
    jobs_.ws().store.mutable_image() = program->image();
    EditorSide editor;
    const bool written = Job(
        [&editor](LinkContext& c) { return StartUploadProgram(c, editor); });
    if (written) {
      const int differences = Compare(*program);
      if (differences == 0) {
        row_.outcome = SiteOutcome::kVerified;
      } else if (differences > 0) {
        row_.outcome = SiteOutcome::kFailed;
        row_.failure = "weryfikacja: " + row_.detail;
      }
    }
    Wrote("upload");
  }

  void ClockSet() {
    const bool set = Job(StartWriteClock);
    if (set) {
      FillClockFromLocalTime(jobs_.ws().config_page.clock_time);
      if (Job(StartReadClock)) {
        const int offset =
            ClockOffsetSeconds(jobs_.ws().config_page.clock_time);
        row_.detail = "przesunięcie " + Signed(offset) + " s";
        if (offset >= -kClockToleranceSeconds &&
            offset <= kClockToleranceSeconds) {
          row_.outcome = SiteOutcome::kVerified;
        } else {
          row_.outcome = SiteOutcome::kFailed;
          row_.failure = "zegar odczytany różni się o " + Signed(offset) + " s";
        }
      }
    }
    // Nothing reached the controller when the port did not open.
    if (set || !last_.PortOpenFailed()) Wrote("clock-set");
  }

  void Backup() {
    Workspace& ws = jobs_.ws();
    // Segment 10 is not read: it must not keep the previous controller's.
    ws.store.mutable_image() = std::make_unique<Workspace>()->store.image();
    EditorSide editor;
    if (!Job([&editor](LinkContext& c) {
          return StartDownloadProgram(c, editor);
        })) {
      return;
    }
    if (!Job(StartReadConfiguration)) return;
    const std::filesystem::path folder = options_.backup_dir / line_.name;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::filesystem::path file =
        folder / (std::to_string(controller_.number) + ".prg");
    const std::filesystem::path comments = CommentFileName(file);
    const bool had_file = std::filesystem::exists(file, error);
    const bool had_comments = std::filesystem::exists(comments, error);
    // Written only now and in one step each, so a controller that failed
    // leaves no file behind; a program file written before its comment
    // file failed goes again.
    if (error || !SaveProgramFile(ws.store, file)) {
      if (!had_file) std::filesystem::remove(file, error);
      if (!had_comments) std::filesystem::remove(comments, error);
      row_.outcome = SiteOutcome::kFailed;
      row_.failure = std::string(kProgramSaveFailedText) + " " + file.string();
      return;
    }
    row_.files.push_back(file);
    if (std::filesystem::is_regular_file(comments, error)) {
      row_.files.push_back(comments);
    }
    row_.program_sha256 = Sha256OfFile(file).value_or("");
    row_.detail = VersionText();
    row_.outcome = SiteOutcome::kDone;
  }

  std::function<void(std::string_view)> on_write;

 private:
  void Wrote(std::string_view job) {
    if (on_write) on_write(job);
  }

  ControllerJobs& jobs_;
  const SiteRunOptions& options_;
  const SiteLine& line_;
  const SiteController& controller_;
  SiteRow& row_;
  JobResult last_;
};

}  // namespace

std::string_view SiteOutcomeText(SiteOutcome outcome) {
  switch (outcome) {
    case SiteOutcome::kDone:
      return "ok";
    case SiteOutcome::kVerified:
      return "zweryfikowany";
    case SiteOutcome::kDiffers:
      return "różnice";
    case SiteOutcome::kAbsent:
      return "nieobecny";
    case SiteOutcome::kFailed:
      return "błąd";
    case SiteOutcome::kSkipped:
      return "pominięty";
  }
  return {};
}

bool SiteOutcomeIsFailure(SiteOutcome outcome) {
  return outcome == SiteOutcome::kAbsent || outcome == SiteOutcome::kFailed ||
         outcome == SiteOutcome::kSkipped;
}

SiteRun::SiteRun(const SiteFile& site, SiteRunOptions options)
    : site_(site), options_(std::move(options)) {
  for (const SiteLine& line : site_.lines) {
    auto state = std::make_unique<LineState>();
    for (const SiteController& c : line.controllers) {
      if (options_.only_given && !options_.only.contains({line.name, c.number}))
        continue;
      ++state->progress.total;
    }
    lines_.push_back(std::move(state));
  }
}

SiteRun::~SiteRun() {
  Abort();
  Join();
}

void SiteRun::Start() {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    lines_[i]->thread = std::thread([this, i] { RunLine(i); });
  }
}

bool SiteRun::Finished() const {
  for (const auto& line : lines_) {
    if (!line->finished.load()) return false;
  }
  return true;
}

void SiteRun::Join() {
  for (const auto& line : lines_) {
    if (line->thread.joinable()) line->thread.join();
  }
}

std::vector<SiteLineProgress> SiteRun::Progress() const {
  std::vector<SiteLineProgress> progress;
  for (const auto& line : lines_) {
    const std::lock_guard lock(line->mutex);
    progress.push_back(line->progress);
  }
  return progress;
}

std::vector<SiteRow> SiteRun::Rows() const {
  std::vector<SiteRow> rows;
  for (const auto& line : lines_) {
    const std::lock_guard lock(line->mutex);
    rows.insert(rows.end(), line->rows.begin(), line->rows.end());
  }
  return rows;
}

void SiteRun::RunLine(std::size_t index) {
  const SiteLine& line = site_.lines[index];
  LineState& state = *lines_[index];
  ControllerJobs jobs(line, options_, abort_);
  std::optional<std::string> port_failure;  // the port cannot be opened
  bool stopped = false;
  for (const SiteController& controller : line.controllers) {
    if (options_.only_given &&
        !options_.only.contains({line.name, controller.number})) {
      continue;
    }
    {
      const std::lock_guard lock(state.mutex);
      state.progress.current = controller.number;
    }
    SiteRow row;
    row.line = line.name;
    row.port = line.port;
    row.controller = controller.number;
    if (!controller.program.empty()) {
      const auto sum = options_.program_sums.find(controller.program);
      if (sum != options_.program_sums.end()) row.program_sha256 = sum->second;
    }
    const Clock::time_point began = Clock::now();
    if (abort_.load()) {
      row.outcome = SiteOutcome::kSkipped;
      row.failure = std::string(kAbortText);
    } else if (stopped) {
      row.outcome = SiteOutcome::kSkipped;
      row.failure = "pominięty po błędzie (--stop-at-first)";
    } else if (port_failure) {
      row.outcome = SiteOutcome::kFailed;
      row.failure = *port_failure;
    } else {
      jobs.Address(controller);
      ControllerTask task(jobs, options_, line, controller, row);
      task.on_write = [&](std::string_view job) {
        row.seconds =
            std::chrono::duration<double>(Clock::now() - began).count();
        if (!options_.on_write) return;
        const std::lock_guard lock(write_mutex_);
        options_.on_write(row, job);
      };
      switch (options_.command) {
        case SiteCommand::kStatus:
          task.Status();
          break;
        case SiteCommand::kUpload:
          task.Upload();
          break;
        case SiteCommand::kVerify:
          task.Verify();
          break;
        case SiteCommand::kBackup:
          task.Backup();
          break;
        case SiteCommand::kClockSet:
          task.ClockSet();
          break;
      }
      if (task.last().PortOpenFailed()) port_failure = row.failure;
      if (abort_.load() && SiteOutcomeIsFailure(row.outcome)) {
        row.failure = std::string(kAbortText);
      }
    }
    row.seconds = std::chrono::duration<double>(Clock::now() - began).count();
    if (options_.stop_at_first && SiteOutcomeIsFailure(row.outcome)) {
      stopped = true;
    }
    const std::lock_guard lock(state.mutex);
    ++state.progress.done;
    if (SiteOutcomeIsFailure(row.outcome)) ++state.progress.failures;
    state.rows.push_back(std::move(row));
  }
  {
    const std::lock_guard lock(state.mutex);
    state.progress.current = 0;
  }
  state.finished.store(true);
}

}  // namespace lumera
