// The worker's observer for the application: every call made on the worker
// thread is posted, in order, to the user-interface thread's event loop and
// carried out there by WorkerEvents, so no widget and no workspace value is
// touched from the worker.
#pragma once

#include "core/link/transfer_observer.h"

namespace lumera {

class WorkerEvents;

class QueuedObserver : public TransferObserver {
 public:
  explicit QueuedObserver(WorkerEvents* events);

  // On the thread that starts the job, the user-interface thread: direct.
  void JobStarted() override;
  void SetStatusLine(std::string_view text) override;
  void SetProgressRange(int maximum) override;
  void StepProgress() override;
  void ResetProgress() override;
  void ReplyReceived(const ReplyRecord& record) override;
  void FinalReplyReceived(const ReplyRecord& record) override;
  void PositionReported(int segment_index, int command_index) override;
  void ErrorReportRead() override;
  void RequestsCompleted() override;
  void PortFailed(const PortFailure& failure) override;
  void JobFinished(const JobOutcome& outcome) override;

 private:
  template <typename Call>
  void Post(Call call);

  WorkerEvents* events_;
};

}  // namespace lumera
