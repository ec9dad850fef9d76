#include "core/site/run/controller_steps.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

#include "core/config/clock_time.h"
#include "core/link/error_report.h"
#include "core/link/frames.h"
#include "core/model/comment_file.h"
#include "core/model/program_file.h"
#include "core/model/sha256.h"
#include "core/session/jobs.h"
#include "core/session/program_diff.h"
#include "core/site/run/site_programs.h"

namespace lumera {
namespace {

// A clock read back further off than this was not set.
constexpr int kClockToleranceSeconds = 2;
// How many differences a verify row names.
constexpr int kDifferencesShown = 3;

// Controller clock minus this computer's, folded into -12 h..+12 h so a
// read across midnight does not show a day's offset; nothing for a clock
// that is no valid time.
std::optional<int> ClockOffsetSeconds(const ClockTime& controller) {
  ClockTime now;
  FillClockFromLocalTime(now);
  const std::optional<int> theirs = SecondsOfDay(controller);
  const std::optional<int> ours = SecondsOfDay(now);
  if (!theirs || !ours) return std::nullopt;
  int offset = *theirs - *ours;
  if (offset > 12 * 3600) offset -= 24 * 3600;
  if (offset < -12 * 3600) offset += 24 * 3600;
  return offset;
}

// For segments 1 to 9, the commands of `program` and the slot after the
// last of each, so that a longer program on the controller shows.
SlotCounts ProgramSlots(const ProgramStore& program) {
  SlotCounts slots{};
  for (int segment = 0; segment < kWholeProgramSegments; ++segment) {
    slots[static_cast<std::size_t>(segment)] =
        std::min(program.CommandListLength(segment) + 1, kCommandsPerSegment);
  }
  return slots;
}

std::string Signed(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%+d", value);
  return text;
}

// One command on one controller; a failed job leaves its text in the row.
class ControllerSteps {
 public:
  ControllerSteps(SiteLineRunner& jobs, const SiteRunSettings& settings,
                  const SitePrograms* programs, const SiteLine& line,
                  const SiteController& controller, SiteRow& row)
      : jobs_(jobs),
        settings_(settings),
        programs_(programs),
        line_(line),
        controller_(controller),
        row_(row) {}

  // False when the job failed; the row then holds the failure.
  bool Job(const std::function<bool(LinkContext&)>& start) {
    last_ = jobs_.Run(start);
    if (last_.succeeded) return true;
    row_.outcome = last_.Silent() ? SiteOutcome::kAbsent : SiteOutcome::kFailed;
    row_.failure = last_.FailureReport(" ");
    return false;
  }
  const JobRunResult& last() const { return last_; }

  bool ReadVersion() {
    jobs_.ws().status.version_major = 0;
    jobs_.ws().status.version_minor = 0;
    if (!Job([](LinkContext& c) {
          return StartSingleRequest(c, {.direction = JobDirection::kReceive},
                                    RequestCode::kReadVersion);
        })) {
      return false;
    }
    TakeVersion();
    return true;
  }

  // The version the last job read, into the row.
  void TakeVersion() {
    const ControllerStatus& s = jobs_.ws().status;
    row_.version =
        std::to_string(s.version_major) + "." + std::to_string(s.version_minor);
  }
  std::string VersionText() const { return "wersja " + row_.version; }

  void Status() {
    if (!ReadVersion()) return;
    std::string detail = VersionText();
    // The request carries this computer's time, as the window's does.
    FillClockFromLocalTime(jobs_.ws().config_page.clock_time);
    if (!Job(StartReadClock)) return;
    const ClockTime clock = jobs_.ws().status.clock.value_or(ClockTime{});
    row_.clock_offset_seconds = ClockOffsetSeconds(clock);
    detail += ", zegar " + ClockText(clock);
    if (row_.clock_offset_seconds) {
      detail += " (" + Signed(*row_.clock_offset_seconds) + " s)";
    }
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

  // The program as the run read it; nothing (and the row failed) when the
  // run has none for this controller.
  const ProgramStore* Program() {
    const SiteProgram* program =
        programs_ != nullptr ? programs_->Find(controller_.program) : nullptr;
    if (program != nullptr) return &program->store;
    row_.outcome = SiteOutcome::kFailed;
    row_.failure = std::string(kProgramLoadFailedText) + " " +
                   controller_.program.string();
    return nullptr;
  }

  // Reads the commands of `program` and the slot after each segment's last
  // one, as a download reads, and compares them; the number of
  // differences, -1 on a failure.
  int Compare(const ProgramStore& program) {
    const SlotCounts slots = ProgramSlots(program);
    if (!Job([&slots](LinkContext& c) {
          return StartReadCommandSlots(c, slots);
        })) {
      return -1;
    }
    const std::vector<ProgramDifference> differences =
        DiffReceived(program, jobs_.ws().received, slots);
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
    const ProgramStore* program = Program();
    if (program == nullptr) return;
    const int differences = Compare(*program);
    if (differences < 0) return;
    row_.outcome =
        differences == 0 ? SiteOutcome::kDone : SiteOutcome::kDiffers;
  }

  void Upload() {
    const ProgramStore* program = Program();
    if (program == nullptr) return;
    if (!ReadVersion() || !Begin("upload")) return;
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
    if (!Begin("clock-set")) return;
    const bool set = Job(StartWriteClock);
    if (set) {
      FillClockFromLocalTime(jobs_.ws().config_page.clock_time);
      if (Job(StartReadClock)) {
        const ClockTime clock = jobs_.ws().status.clock.value_or(ClockTime{});
        row_.clock_offset_seconds = ClockOffsetSeconds(clock);
        if (!row_.clock_offset_seconds) {
          row_.outcome = SiteOutcome::kFailed;
          row_.failure =
              "zegar odczytany nie jest godziną: " + ClockText(clock);
        } else if (const int offset = *row_.clock_offset_seconds;
                   offset >= -kClockToleranceSeconds &&
                   offset <= kClockToleranceSeconds) {
          row_.detail = "przesunięcie " + Signed(offset) + " s";
          row_.outcome = SiteOutcome::kVerified;
        } else {
          row_.detail = "przesunięcie " + Signed(offset) + " s";
          row_.outcome = SiteOutcome::kFailed;
          row_.failure = "zegar odczytany różni się o " + Signed(offset) + " s";
        }
      }
    }
    Wrote("clock-set");
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
    const std::filesystem::path folder =
        settings_.backup_dir / LineFolderName(line_);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::filesystem::path file =
        folder / (std::to_string(controller_.number) + ".prg");
    const std::filesystem::path comments = CommentFileName(file);
    const bool had_file = std::filesystem::exists(file, error);
    const bool had_comments = std::filesystem::exists(comments, error);
    // Written only now, the two files as one pair, so a controller that
    // failed leaves no file behind.
    const ProgramSaveResult saved =
        error ? ProgramSaveResult{FileWriteError{file, error.message()}}
              : SaveProgramFile(ws.store, file);
    if (!saved) {
      if (!had_file) std::filesystem::remove(file, error);
      if (!had_comments) std::filesystem::remove(comments, error);
      row_.outcome = SiteOutcome::kFailed;
      row_.failure = std::string(kProgramSaveFailedText) + " " +
                     FileWriteErrorText(*saved.error);
      return;
    }
    row_.files.push_back(file);
    if (std::filesystem::is_regular_file(comments, error)) {
      row_.files.push_back(comments);
    }
    row_.program_sha256 = Sha256OfFile(file).value_or("");
    TakeVersion();
    row_.detail = VersionText();
    row_.outcome = SiteOutcome::kDone;
  }

  ControllerWrites writes;

 private:
  // False, with the row failed, when the write may not begin.
  bool Begin(std::string_view job) {
    if (!writes.begun) return true;
    std::string refusal = writes.begun(job);
    if (refusal.empty()) return true;
    row_.outcome = SiteOutcome::kFailed;
    row_.failure = std::move(refusal);
    return false;
  }
  void Wrote(std::string_view job) {
    if (writes.ended) writes.ended(job);
  }

  SiteLineRunner& jobs_;
  const SiteRunSettings& settings_;
  const SitePrograms* programs_;
  const SiteLine& line_;
  const SiteController& controller_;
  SiteRow& row_;
  JobRunResult last_;
};

}  // namespace

bool RunControllerCommand(SiteLineRunner& jobs, const SiteRunSettings& settings,
                          const SitePrograms* programs, const SiteLine& line,
                          const SiteController& controller, SiteRow& row,
                          const ControllerWrites& writes) {
  ControllerSteps steps(jobs, settings, programs, line, controller, row);
  steps.writes = writes;
  switch (settings.command) {
    case SiteCommand::kStatus:
      steps.Status();
      break;
    case SiteCommand::kUpload:
      steps.Upload();
      break;
    case SiteCommand::kVerify:
      steps.Verify();
      break;
    case SiteCommand::kBackup:
      steps.Backup();
      break;
    case SiteCommand::kClockSet:
      steps.ClockSet();
      break;
  }
  return !steps.last().PortOpenFailed();
}

}  // namespace lumera
