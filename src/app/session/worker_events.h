// What the transfer worker reports, as Qt signals on the user-interface
// thread. QueuedObserver posts each worker call here in order; replies are
// applied to the workspace before anything hears of them. The main window
// and the pages connect to what concerns them.
#pragma once

#include <QObject>
#include <QString>

#include "core/link/serial_port.h"
#include "core/link/transfer_observer.h"

namespace lumera {

struct Workspace;

class WorkerEvents : public QObject {
  Q_OBJECT

 public:
  explicit WorkerEvents(Workspace& workspace, QObject* parent = nullptr);

  // Carried out on the user-interface thread.
  void ApplyReply(const ReplyRecord& record);
  void PostProcess(const ReplyRecord& record);

 signals:
  // A job has been started (on the user-interface thread, by the launcher):
  // it may have written the editor's segment back and emptied its stack.
  void jobLaunched();
  void statusLine(const QString& text);
  void progressRange(int maximum);
  void progressStep();
  void progressReset();
  void loadSegmentIntoGrid();
  void refreshConfigPage();
  // The configuration page's refresh ends with the outputs page's; the
  // pages are separate, so the one asks and the other listens here.
  void refreshOutputsPage();
  // Also asked for by the editor page's tab (its refresh is the main
  // window's status fields).
  void refreshMainStatus();
  void showControllerPosition(int segment_index, int command_index);
  // The editor page shows another segment (CurrentSegment has changed):
  // the per-segment captions follow.
  void segmentShown();
  void errorReportPending();
  void portFailed(const PortFailure& failure);
  void jobFinished(bool succeeded);

 private:
  Workspace& workspace_;
};

}  // namespace lumera
