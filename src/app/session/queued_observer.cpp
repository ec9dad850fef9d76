#include "app/session/queued_observer.h"

#include <QMetaObject>
#include <QString>

#include "app/session/worker_events.h"

namespace lumera {

QueuedObserver::QueuedObserver(WorkerEvents* events) : events_(events) {}

// Queued calls to one receiver run in the order they were posted; a call
// still waiting when the receiver goes away is dropped with it.
template <typename Call>
void QueuedObserver::Post(Call call) {
  QMetaObject::invokeMethod(events_, std::move(call), Qt::QueuedConnection);
}

void QueuedObserver::SetStatusLine(std::string_view text) {
  Post([e = events_, text = QString::fromUtf8(
                         text.data(), static_cast<qsizetype>(text.size()))] {
    emit e->statusLine(text);
  });
}

void QueuedObserver::SetProgressRange(int maximum) {
  Post([e = events_, maximum] { emit e->progressRange(maximum); });
}

void QueuedObserver::StepProgress() {
  Post([e = events_] { emit e->progressStep(); });
}

void QueuedObserver::ResetProgress() {
  Post([e = events_] { emit e->progressReset(); });
}

void QueuedObserver::ApplyReply(const ReplyRecord& record) {
  Post([e = events_, record] { e->ApplyReply(record); });
}

void QueuedObserver::PostProcess(const ReplyRecord& record) {
  Post([e = events_, record] { e->PostProcess(record); });
}

void QueuedObserver::LoadSegmentIntoGrid() {
  Post([e = events_] { emit e->loadSegmentIntoGrid(); });
}

void QueuedObserver::RefreshConfigPage() {
  Post([e = events_] { emit e->refreshConfigPage(); });
}

void QueuedObserver::RefreshMainStatus() {
  Post([e = events_] { emit e->refreshMainStatus(); });
}

void QueuedObserver::ShowControllerPosition(int segment_index,
                                            int command_index) {
  Post([e = events_, segment_index, command_index] {
    emit e->showControllerPosition(segment_index, command_index);
  });
}

void QueuedObserver::ErrorReportPending() {
  Post([e = events_] { emit e->errorReportPending(); });
}

void QueuedObserver::PortFailed(const PortFailure& failure) {
  Post([e = events_, failure] { emit e->portFailed(failure); });
}

void QueuedObserver::JobFinished(bool succeeded) {
  Post([e = events_, succeeded] { emit e->jobFinished(succeeded); });
}

}  // namespace lumera
