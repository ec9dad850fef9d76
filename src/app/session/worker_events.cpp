#include "app/session/worker_events.h"

#include "core/session/reply_apply.h"
#include "core/session/workspace.h"

namespace lumera {

WorkerEvents::WorkerEvents(Workspace& workspace, QObject* parent)
    : QObject(parent), workspace_(workspace) {}

void WorkerEvents::ApplyReply(const ReplyRecord& record) {
  lumera::ApplyReply(workspace_, record);
}

void WorkerEvents::PostProcess(const ReplyRecord& record) {
  PostProcessReply(workspace_, record);
}

}  // namespace lumera
