// A site run of the window: the core's SiteRun, its events carried to the
// user-interface thread by queued calls (the lines' threads touch nothing of
// the window), and its ports held against the window's own jobs from its
// start to its end.
#pragma once

#include <QObject>
#include <cstddef>
#include <memory>
#include <string>

#include "core/site/run/site_run.h"

namespace lumera {

class PortOwners;

class SiteRunner : public QObject {
  Q_OBJECT

 public:
  explicit SiteRunner(PortOwners& owners, QObject* parent = nullptr);
  ~SiteRunner() override;

  // A new run, its events this runner's, prepared (the site locked when
  // kReady). The one before is dropped.
  SitePreparation Prepare(SiteRunSettings settings);
  // The run prepared or run last; null before the first.
  SiteRun* run() { return run_.get(); }
  const SiteRun* run() const { return run_.get(); }

  // Starts the lines; false, with the run's refusal, when it could not.
  bool Start();
  // Gives up a prepared run that was not started: the site is free.
  void Drop();
  void Abort();
  bool running() const;
  // Aborts a run under way and waits until its lines have ended and the
  // journal has its lines; runEnded is emitted before it returns.
  void EndNow();

 signals:
  // On the user-interface thread, in the order each line told them.
  void controllerBegun(std::size_t line, int controller,
                       const SiteLineProgress& progress);
  void controllerEnded(std::size_t line, const SiteRow& row,
                       const SiteLineProgress& progress);
  // The run has ended and is finished: its rows and summary are there, the
  // site and its ports are free.
  void runEnded();

 private:
  class QueuedEvents;

  void End(unsigned run);

  PortOwners& owners_;
  // Each run's events name their run, so that a call still queued from a
  // run ended by EndNow is not taken for the next run's.
  unsigned run_number_ = 0;
  std::unique_ptr<QueuedEvents> events_;
  // Last: its lines call the events until it is gone.
  std::unique_ptr<SiteRun> run_;
};

}  // namespace lumera
