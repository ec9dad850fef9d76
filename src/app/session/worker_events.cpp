#include "app/session/worker_events.h"

#include "core/session/reply_apply.h"
#include "core/session/workspace.h"

namespace lumera {

WorkerEvents::WorkerEvents(Workspace& workspace, QObject* parent)
    : QObject(parent), workspace_(workspace) {}

void WorkerEvents::ReplyReceived(const ReplyRecord& record) {
  lumera::ApplyReply(workspace_, record);
  refreshes_.ReplyApplied(record);
}

void WorkerEvents::FinalReplyReceived(const ReplyRecord& record) {
  PostProcessReply(workspace_, record);
}

void WorkerEvents::RequestsCompleted() {
  if (refreshes_.reload_editor()) emit loadSegmentIntoGrid();
  emit refreshConfigPage();
  emit refreshMainStatus();
}

void WorkerEvents::JobFinished(const JobOutcome& outcome) {
  refreshes_.JobFinished();
  emit jobFinished(outcome.succeeded());
}

}  // namespace lumera
