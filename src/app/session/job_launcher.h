// The one door from a button to its controller job: it builds the
// LinkContext, shows a pending controller error report first, and owns the
// worker's observer and the signals its events become. The main window and
// the pages connect each button they build to its core job through it; it
// knows no page and no control id.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/session/job_prompts_adapter.h"
#include "app/session/queued_observer.h"
#include "app/session/worker_events.h"
#include "core/link/port_owners.h"
#include "core/session/jobs.h"

class QAbstractButton;

namespace lumera {

class Prompts;
struct Workspace;

// A core job as a button starts it: every job gets the editor's side, most
// ignore it.
using JobStart =
    std::function<bool(LinkContext& context, const EditorSide& editor)>;

// A job that takes no editor side.
JobStart WithoutEditor(bool (*start)(LinkContext& context));

class JobLauncher {
 public:
  JobLauncher(Workspace& workspace, TransferJob& job, Prompts& prompts);
  ~JobLauncher();
  JobLauncher(const JobLauncher&) = delete;
  JobLauncher& operator=(const JobLauncher&) = delete;

  WorkerEvents& events() { return *events_; }
  // The ports this process's jobs hold: a job of the window holds its port
  // from its launch until it has ended, and is refused (with a message)
  // while a site run holds it.
  PortOwners& port_owners() { return port_owners_; }
  TransferObserver& observer() { return observer_; }
  TransferJob& job() { return job_; }

  // The editor the jobs take their segment, rows and selection from, and
  // whose shown segment they write back. Without one, the jobs see the
  // current segment's command list and nothing to commit.
  void SetEditor(ShownSegmentEditor* editor) { editor_ = editor; }
  EditorSide Editor() const;
  // The editor's shown segment into the store (its CommitGrid), before the
  // program is printed, saved or checked for changes; nothing without one.
  void CommitGrid();

  // Starts `start` after showing a pending error report; false when the
  // job was refused. A job is refused silently until the one before it has
  // been told to have ended, as its end may still replace the program.
  bool Launch(const JobStart& start);
  // Clicking `button` launches `start`.
  void Connect(QAbstractButton* button, JobStart start);

  // "Przerwij": only while the worker runs.
  bool Abort();

  // Shows the controller's error report when one is pending (once).
  bool ShowPendingErrorReport();
  // Requests are queued, or a download's commands are still to replace the
  // program's: the port, the radio option and the program file stay as
  // they are.
  bool QueueHoldsRequests() const;
  // The workspace's port, number and radio values, for the worker.
  void PushLineValues();

 private:
  LinkContext Context();
  // Takes the port of the job about to be prepared; false, having said
  // who holds it, when another owner does.
  bool TakePort();

  Workspace& workspace_;
  TransferJob& job_;
  Prompts& prompts_;
  JobPromptsAdapter job_prompts_;
  std::unique_ptr<WorkerEvents> events_;
  QueuedObserver observer_;
  PortOwners port_owners_;
  ShownSegmentEditor* editor_ = nullptr;
  bool ending_ = false;  // a launched job has not been told to have ended
};

}  // namespace lumera
