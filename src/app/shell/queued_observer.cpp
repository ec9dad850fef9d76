#include "app/shell/queued_observer.h"

#include <QMetaObject>
#include <QString>

#include "app/shell/main_window.h"

namespace lumera {

QueuedObserver::QueuedObserver(MainWindow* window) : window_(window) {}

// Queued calls to one receiver run in the order they were posted; a call
// still waiting when the window goes away is dropped with it.
template <typename Call>
void QueuedObserver::Post(Call call) {
  QMetaObject::invokeMethod(window_, std::move(call), Qt::QueuedConnection);
}

void QueuedObserver::SetStatusLine(const std::string& text) {
  Post([window = window_, text = QString::fromStdString(text)] {
    window->SetStatusLine(text);
  });
}

void QueuedObserver::SetProgressRange(int maximum) {
  Post([window = window_, maximum] { window->SetProgressRange(maximum); });
}

void QueuedObserver::StepProgress() {
  Post([window = window_] { window->StepProgress(); });
}

void QueuedObserver::ResetProgress() {
  Post([window = window_] { window->ResetProgress(); });
}

void QueuedObserver::ApplyReply(const ReplyRecord& record) {
  Post([window = window_, record] { window->ApplyReply(record); });
}

void QueuedObserver::PostProcess(const ReplyRecord& record) {
  Post([window = window_, record] { window->PostProcess(record); });
}

void QueuedObserver::LoadSegmentIntoGrid() {
  Post([window = window_] { window->LoadSegmentIntoGrid(); });
}

void QueuedObserver::RefreshConfigPage() {
  Post([window = window_] { window->RefreshConfigPage(); });
}

void QueuedObserver::RefreshMainStatus() {
  Post([window = window_] { window->RefreshMainStatus(); });
}

void QueuedObserver::ShowControllerPosition(int segment_index,
                                            int command_index) {
  Post([window = window_, segment_index, command_index] {
    window->ShowControllerPosition(segment_index, command_index);
  });
}

void QueuedObserver::ErrorReportPending() {
  Post([window = window_] { window->ShowPendingErrorReport(); });
}

void QueuedObserver::PortFailed(const PortFailure& failure) {
  Post([window = window_, failure] { window->ShowPortFailure(failure); });
}

void QueuedObserver::JobFinished(bool succeeded) {
  Post([window = window_, succeeded] { window->OnJobFinished(succeeded); });
}

}  // namespace lumera
