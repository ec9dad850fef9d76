// What the transfer worker reports, as Qt signals on the user-interface
// thread. QueuedObserver posts each worker event here in order; replies are
// applied to the workspace before anything hears of them, a download's
// commands replace the store's when its job has ended well, and what to
// refresh is decided here. The main window and the pages connect to what
// concerns them.
#pragma once

#include <QObject>
#include <QString>

#include "core/link/serial_port.h"
#include "core/link/transfer_observer.h"
#include "core/session/reply_apply.h"

namespace lumera {

struct Workspace;

class WorkerEvents : public QObject {
  Q_OBJECT

 public:
  explicit WorkerEvents(Workspace& workspace, QObject* parent = nullptr);

  // Called on the user-interface thread as the job is started.
  void JobStarted();
  // The worker's events, carried out on the user-interface thread.
  void ReplyReceived(const ReplyRecord& record);
  void FinalReplyReceived(const ReplyRecord& record);
  // The refreshes in their order: configuration, main status.
  void RequestsCompleted();
  // A download that ended well replaces the program, then the shown segment
  // is reloaded if it was replaced; the job is over last.
  void JobFinished(const JobOutcome& outcome);

 signals:
  // A job has been started (on the user-interface thread, by the launcher):
  // it may have written the editor's segment back and emptied its stack.
  void jobLaunched();
  void statusLine(const QString& text);
  void progressRange(int maximum);
  void progressStep();
  void progressReset();
  // A download's commands have replaced these segments (bit s: segment
  // index s) of the store.
  void programReplaced(unsigned segments);
  // The shown segment afresh from the store.
  void loadSegmentIntoGrid();
  void refreshConfigPage();
  void refreshMainStatus();
  void showControllerPosition(int segment_index, int command_index);
  void errorReportPending();
  void portFailed(const PortFailure& failure);
  void jobFinished(bool succeeded);

 private:
  Workspace& workspace_;
};

}  // namespace lumera
