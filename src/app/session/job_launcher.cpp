#include "app/session/job_launcher.h"

#include <QAbstractButton>
#include <string>
#include <utility>

#include "app/session/prompts.h"
#include "app/widgets/qt_text.h"
#include "core/link/error_report.h"
#include "core/link/port_names.h"
#include "core/session/workspace.h"

namespace lumera {
namespace {

constexpr std::string_view kWindowJobOwner = "zadanie głównego okna";

}  // namespace

JobStart WithoutEditor(bool (*start)(LinkContext& context)) {
  return [start](LinkContext& context, const EditorSide&) {
    return start(context);
  };
}

JobLauncher::JobLauncher(Workspace& workspace, TransferJob& job,
                         Prompts& prompts)
    : workspace_(workspace),
      job_(job),
      prompts_(prompts),
      job_prompts_(prompts),
      events_(std::make_unique<WorkerEvents>(workspace)),
      observer_(events_.get()) {
  // A job that ended frees its port; no other job of the window is
  // launched before its end has come here.
  QObject::connect(events_.get(), &WorkerEvents::jobFinished, events_.get(),
                   [this] {
                     ending_ = false;
                     port_owners_.Release(kWindowJobOwner);
                   });
}

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

void JobLauncher::CommitGrid() {
  if (editor_ != nullptr) editor_->CommitGrid();
}

bool JobLauncher::Launch(const JobStart& start) {
  ShowPendingErrorReport();
  // The worker frees the job just before its end reaches this thread.
  if (ending_ && !job_.running()) return false;
  // A job under way holds its port already (the access-point reset joins
  // it; anything else is refused by the job itself).
  const bool takes_port = !job_.prepared() && !job_.running();
  if (takes_port && !TakePort()) return false;
  LinkContext context = Context();
  const EditorSide editor = Editor();
  if (!start(context, editor)) {
    if (takes_port) port_owners_.Release(kWindowJobOwner);
    return false;
  }
  ending_ = true;
  emit events_->jobLaunched();
  return true;
}

void JobLauncher::Connect(QAbstractButton* button, JobStart start) {
  QObject::connect(button, &QAbstractButton::clicked, button,
                   [this, start = std::move(start)] { Launch(start); });
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
  return job_.has_queued_requests() || workspace_.received.Replacing();
}

void JobLauncher::PushLineValues() {
  job_.SetLineValues(LineValuesOf(workspace_));
}

bool JobLauncher::TakePort() {
  const std::optional<PortRefusal> refusal = port_owners_.Take(
      kWindowJobOwner, {job_.PortName(workspace_.settings.port_number)},
      DefaultPortRoots());
  if (!refusal) return true;
  prompts_.Warn(QStringLiteral("INFO"), ToQString(PortRefusalText(*refusal)));
  return false;
}

LinkContext JobLauncher::Context() {
  PushLineValues();
  return LinkContext{workspace_, job_, observer_, job_prompts_};
}

}  // namespace lumera
