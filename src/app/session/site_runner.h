// A site command run from the window: the core's SiteOperation, its lines'
// events carried to the user-interface thread by queued calls (the lines'
// threads touch nothing of the window), and its ports held against the
// window's own jobs from its start to its end.
#pragma once

#include <QObject>
#include <QString>
#include <cstddef>
#include <memory>
#include <string>

#include "core/site/run/site_operation.h"
#include "core/site/run/site_run.h"

namespace lumera {

class PortOwners;

class SiteRunner : public QObject {
  Q_OBJECT

 public:
  explicit SiteRunner(PortOwners& owners, QObject* parent = nullptr);
  ~SiteRunner() override;

  // A new operation, its events this runner's, prepared (the site locked
  // when kReady). The one before is dropped.
  SitePreparation Prepare(SiteOperationSettings settings);
  // The operation prepared or run last; null before the first.
  SiteOperation* operation() { return operation_.get(); }
  const SiteOperation* operation() const { return operation_.get(); }

  // Takes the plan's ports and starts the lines; false with the reason
  // (a port another holds, the journal) in `refusal`.
  bool Start(std::string& refusal);
  // Gives up a prepared operation that was not started: the site is free.
  void Drop();
  void Abort();
  bool running() const { return running_; }
  // Aborts a run under way and waits until its lines have ended and the
  // journal has its lines; runEnded is emitted before it returns.
  void EndNow();

 signals:
  // On the user-interface thread, in the order each line told them.
  void controllerBegun(std::size_t line, int controller,
                       const SiteLineProgress& progress);
  void controllerEnded(std::size_t line, const SiteRow& row,
                       const SiteLineProgress& progress);
  // Every line has ended; the rows are the operation's (Finish is done)
  // and the site is unlocked.
  void runEnded();

 private:
  class QueuedEvents;

  void LineEnded(unsigned run);
  void EndRun();

  PortOwners& owners_;
  std::string owner_;
  // Each run's events name their run, so that a call still queued from a
  // run ended by EndNow is not taken for the next run's.
  unsigned run_ = 0;
  std::size_t lines_ended_ = 0;
  bool running_ = false;
  std::unique_ptr<QueuedEvents> events_;
  // Last: its lines call the events until it is gone.
  std::unique_ptr<SiteOperation> operation_;
};

}  // namespace lumera
