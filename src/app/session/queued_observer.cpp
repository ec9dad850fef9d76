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

void QueuedObserver::JobStarted() { events_->JobStarted(); }

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

void QueuedObserver::ReplyReceived(const ReplyRecord& record) {
  Post([e = events_, record] { e->ReplyReceived(record); });
}

void QueuedObserver::FinalReplyReceived(const ReplyRecord& record) {
  Post([e = events_, record] { e->FinalReplyReceived(record); });
}

void QueuedObserver::PositionReported(int segment_index, int command_index) {
  Post([e = events_, segment_index, command_index] {
    emit e->showControllerPosition(segment_index, command_index);
  });
}

void QueuedObserver::ErrorReportRead() {
  Post([e = events_] { emit e->errorReportPending(); });
}

void QueuedObserver::RequestsCompleted() {
  Post([e = events_] { e->RequestsCompleted(); });
}

void QueuedObserver::PortFailed(const PortFailure& failure) {
  Post([e = events_, failure] { emit e->portFailed(failure); });
}

void QueuedObserver::JobFinished(const JobOutcome& outcome) {
  Post([e = events_, outcome] { e->JobFinished(outcome); });
}

}  // namespace lumera
