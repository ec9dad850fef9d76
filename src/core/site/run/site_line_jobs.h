// The jobs of one line of a site: its own workspace, job and observer, the
// port opened for each job by name, and the waiting a site needs beyond a
// single job's (a busy network serial server, a radio target that never
// answers).
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "core/link/transfer_job.h"
#include "core/session/jobs.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"
#include "core/site/run/site_run.h"

namespace lumera {

struct SiteJobResult {
  bool started = false;
  bool succeeded = false;
  std::string status;
  PortFailure port_failure;
  int frames_written = 0;
  JobOutcome outcome;
  // A radio request went unanswered for twice the time-out, and the job
  // was ended for it.
  bool unanswered = false;

  // The status text with the port's reason after it.
  std::string Failure() const;
  // The port could not be opened or set up: the line's other controllers
  // would fail alike.
  bool PortOpenFailed() const { return outcome.port_failed(); }
  // What a network serial server does while it still serves the previous
  // connection: it refuses the next, or takes it and drops it at once (a
  // read sees the end, a write the broken pipe).
  bool RefusedAtOnce() const;
  // Silence to the first request on a port that works: nobody answers to
  // this number.
  bool Silent() const;
};

class SiteLineJobs {
 public:
  SiteLineJobs(const SiteLine& line, const SiteRunOptions& options,
               const std::atomic<bool>& abort);

  Workspace& ws() { return *workspace_; }

  // The controller the next jobs address, with its radio target.
  void Address(const SiteController& controller);

  // Runs one job to its end, trying again while a network serial server
  // refuses the connection at once.
  SiteJobResult Run(const std::function<bool(LinkContext&)>& start);

 private:
  class Prompts : public JobPrompts {
   public:
    // The site's jobs ask nothing: the plan was confirmed before they ran.
    bool Ask(std::string_view) override { return true; }
    void ShowWarning(std::string_view text) override { warning = text; }
    std::string warning;
  };

  SiteJobResult RunOnce(const std::function<bool(LinkContext&)>& start);

  const SiteLine& line_;
  const SiteRunOptions& options_;
  const std::atomic<bool>& abort_;
  std::unique_ptr<Workspace> workspace_;
  TransferJob job_;
  DirectObserver observer_;
  Prompts prompts_;
};

}  // namespace lumera
