#include "app/session/worker_events.h"

#include "core/session/reply_apply.h"
#include "core/session/workspace.h"

namespace lumera {

WorkerEvents::WorkerEvents(Workspace& workspace, QObject* parent)
    : QObject(parent), workspace_(workspace) {}

void WorkerEvents::JobStarted() { workspace_.received.JobStarted(); }

void WorkerEvents::ReplyReceived(const ReplyRecord& record) {
  lumera::ApplyReply(workspace_, record);
}

void WorkerEvents::FinalReplyReceived(const ReplyRecord& record) {
  PostProcessReply(workspace_, record);
}

void WorkerEvents::RequestsCompleted() {
  emit refreshConfigPage();
  emit refreshMainStatus();
}

void WorkerEvents::JobFinished(const JobOutcome& outcome) {
  const SegmentSet replaced = EndReceivedProgram(workspace_, outcome);
  if (replaced.any()) {
    emit programReplaced(static_cast<unsigned>(replaced.to_ulong()));
  }
  if (ShowsOneOf(workspace_, replaced)) emit loadSegmentIntoGrid();
  emit jobFinished(outcome.succeeded());
}

}  // namespace lumera
