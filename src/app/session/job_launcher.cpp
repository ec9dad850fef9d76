#include "app/session/job_launcher.h"

#include <QAbstractButton>
#include <iterator>
#include <string>
#include <utility>

#include "app/pages/config/config_page_ids.h"
#include "app/pages/editor/editor_page_ids.h"
#include "app/session/prompts.h"
#include "app/shell/main_window_ids.h"
#include "app/widgets/qt_text.h"
#include "core/link/error_report.h"
#include "core/session/workspace.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;
namespace cfg = config_page_ids;

// The configuration page's buttons that carry a number.
template <int kTempo>
bool SelectTempo(LinkContext& c, const EditorSide&) {
  return StartSelectTempo(c, kTempo);
}
template <int kStartPoint>
bool RunStartPoint(LinkContext& c, const EditorSide&) {
  return StartRunStartPoint(c, kStartPoint);
}
namespace editor = editor_page_ids;

struct JobButton {
  int dialog_id;
  int control_id;
  JobStart start;
};

// Every button that starts a job, with the core job it starts.
constexpr JobButton kJobButtons[] = {
    {ids::kDialog, ids::kDownloadAll, StartDownloadProgram},
    {ids::kDialog, ids::kDownloadSegment, StartDownloadSegment},
    {ids::kDialog, ids::kUploadAll, StartUploadProgram},
    {ids::kDialog, ids::kUploadSegment, StartUploadSegment},
    {ids::kDialog, ids::kVerifyAll, StartVerifyProgram},
    {ids::kDialog, ids::kVerifySegment, StartVerifySegment},
    {ids::kDialog, ids::kRestart,
     [](LinkContext& c, const EditorSide&) {
       return StartRestartController(c);
     }},
    {ids::kDialog, ids::kErrorReport,
     [](LinkContext& c, const EditorSide&) { return StartReadErrorReport(c); }},
    {ids::kDialog, ids::kReadConfig,
     [](LinkContext& c, const EditorSide&) {
       return StartReadConfiguration(c);
     }},
    {ids::kDialog, ids::kWriteConfig,
     [](LinkContext& c, const EditorSide&) {
       return StartWriteConfiguration(c);
     }},
    {ids::kDialog, ids::kDefaultConfigOnly,
     [](LinkContext& c, const EditorSide&) {
       return StartLoadDefaults(c, true);
     }},
    {ids::kDialog, ids::kDefaultConfigProgram,
     [](LinkContext& c, const EditorSide&) {
       return StartLoadDefaults(c, false);
     }},
    {ids::kDialog, ids::kRadioReset,
     [](LinkContext& c, const EditorSide&) { return StartRadioReset(c); }},

    {cfg::kDialog, cfg::kReadControllerNumber,
     [](LinkContext& c, const EditorSide&) {
       return StartReadControllerNumber(c);
     }},
    {cfg::kDialog, cfg::kWriteControllerNumber,
     [](LinkContext& c, const EditorSide&) {
       return StartWriteControllerNumber(c);
     }},
    {cfg::kDialog, cfg::kAccessPointReset,
     [](LinkContext& c, const EditorSide&) {
       return StartAccessPointReset(c);
     }},
    {cfg::kDialog, cfg::kSetClock,
     [](LinkContext& c, const EditorSide&) { return StartWriteClock(c); }},
    {cfg::kDialog, cfg::kReadClock,
     [](LinkContext& c, const EditorSide&) { return StartReadClock(c); }},
    {cfg::kDialog, cfg::kTempoButton1, SelectTempo<1>},
    {cfg::kDialog, cfg::kTempoButton2, SelectTempo<2>},
    {cfg::kDialog, cfg::kTempoButton3, SelectTempo<3>},
    {cfg::kDialog, cfg::kTempoButton4, SelectTempo<4>},
    {cfg::kDialog, cfg::kTempoButton5, SelectTempo<5>},
    {cfg::kDialog, cfg::kTempoButton6, SelectTempo<6>},
    {cfg::kDialog, cfg::kTempoButton7, SelectTempo<7>},
    {cfg::kDialog, cfg::kTempoButton8, SelectTempo<8>},
    {cfg::kDialog, cfg::kStartButton1, RunStartPoint<1>},
    {cfg::kDialog, cfg::kStartButton2, RunStartPoint<2>},
    {cfg::kDialog, cfg::kStartButton3, RunStartPoint<3>},
    {cfg::kDialog, cfg::kStartButton4, RunStartPoint<4>},
    {cfg::kDialog, cfg::kStartButton5, RunStartPoint<5>},
    {cfg::kDialog, cfg::kStartButton6, RunStartPoint<6>},
    {cfg::kDialog, cfg::kStartButton7, RunStartPoint<7>},
    {cfg::kDialog, cfg::kStartButton8, RunStartPoint<8>},
    {cfg::kDialog, cfg::kStartButton9, RunStartPoint<9>},
    {cfg::kDialog, cfg::kStartButton10, RunStartPoint<10>},
    {cfg::kDialog, cfg::kStartButton11, RunStartPoint<11>},
    {cfg::kDialog, cfg::kStartButton12, RunStartPoint<12>},
    {cfg::kDialog, cfg::kStartButton13, RunStartPoint<13>},
    {cfg::kDialog, cfg::kStartButton14, RunStartPoint<14>},
    {cfg::kDialog, cfg::kStartButton15, RunStartPoint<15>},
    {cfg::kDialog, cfg::kStartButton16, RunStartPoint<16>},
    // The editor page's run control.
    {editor::kDialog, editor::kRunFrom, StartRunFrom},
    {editor::kDialog, editor::kSetStopPoint, StartSetStopPoint},
    {editor::kDialog, editor::kStepCommand, StartStepCommand},
    {editor::kDialog, editor::kResumeProgram,
     [](LinkContext& c, const EditorSide&) { return StartResumeProgram(c); }},
    {editor::kDialog, editor::kStopProgram,
     [](LinkContext& c, const EditorSide&) { return StartStopProgram(c); }},
    {editor::kDialog, editor::kRestart,
     [](LinkContext& c, const EditorSide&) {
       return StartRestartController(c);
     }},
    {editor::kDialog, editor::kWriteCommand, StartWriteSelectedCommand},
};

}  // namespace

JobLauncher::JobLauncher(Workspace& workspace, TransferJob& job,
                         Prompts& prompts)
    : workspace_(workspace),
      job_(job),
      prompts_(prompts),
      job_prompts_(prompts),
      events_(std::make_unique<WorkerEvents>(workspace)),
      observer_(events_.get()) {}

JobLauncher::~JobLauncher() {
  // The observer's receiver dies with the launcher: the worker goes first.
  if (job_.running()) {
    job_.RequestAbort();
    job_.Join();
  }
}

EditorSide JobLauncher::Editor() const {
  EditorSide editor;
  if (editor_ != nullptr) {
    const RunControlValues run = editor_->RunControl();
    editor.current_segment = run.current_segment;
    editor.grid_rows = run.grid_rows;
    editor.selected_row = run.selected_row;
    editor.shown = editor_;
    return editor;
  }
  editor.current_segment = workspace_.settings.current_segment;
  editor.grid_rows = workspace_.store.CommandListLength(
      workspace_.settings.current_segment - 1);
  return editor;
}

bool JobLauncher::Launch(int dialog_id, int control_id) {
  for (const JobButton& button : kJobButtons) {
    if (button.dialog_id == dialog_id && button.control_id == control_id) {
      return Launch(button.start);
    }
  }
  return false;
}

bool JobLauncher::Launch(JobStart start) {
  ShowPendingErrorReport();
  LinkContext context = Context();
  const EditorSide editor = Editor();
  if (!start(context, editor)) return false;
  emit events_->jobLaunched();
  replaced_ = ReplacedProgram{};
  if (start == &StartDownloadProgram) replaced_.all_segments = true;
  if (start == &StartDownloadSegment)
    replaced_.segment = editor.current_segment;
  return true;
}

ReplacedProgram JobLauncher::TakeReplacedProgram() {
  return std::exchange(replaced_, ReplacedProgram{});
}

void JobLauncher::Connect(QAbstractButton* button, int dialog_id,
                          int control_id) {
  QObject::connect(
      button, &QAbstractButton::clicked, button,
      [this, dialog_id, control_id] { Launch(dialog_id, control_id); });
}

bool JobLauncher::Abort() { return job_.RequestAbort(); }

bool JobLauncher::ShowPendingErrorReport() {
  std::string text;
  if (!TakePendingErrorReport(workspace_.link.error_report, text)) {
    return false;
  }
  prompts_.Warn(ToQString(kErrorReportCaption), QString::fromStdString(text));
  return true;
}

bool JobLauncher::QueueHoldsRequests() const {
  return job_.has_queued_requests();
}

void JobLauncher::PushLineValues() {
  job_.SetLineValues(LineValuesOf(workspace_));
}

LinkContext JobLauncher::Context() {
  PushLineValues();
  return LinkContext{workspace_, job_, observer_, job_prompts_};
}

}  // namespace lumera
