// One job run to its end on the caller's thread: how the command line runs
// each of its commands and a site each job of its lines. The job starts as a
// button starts it; the caller's thread applies its effects while it polls
// for an abort, and a radio request that stays unanswered ends the job, so
// that no caller waits for ever on a silent access point. (The window runs
// its jobs on its event loop instead and waits for "Przerwij".)
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/link/job_outcome.h"
#include "core/link/serial_port.h"
#include "core/link/transfer_job.h"
#include "core/session/jobs.h"
#include "core/session/reply_apply.h"

namespace lumera {

struct Workspace;

// Said of a job refused before it started, when no warning said why.
inline constexpr std::string_view kNotDoneText =
    "Polecenie nie zostało wykonane.";

struct JobRunResult {
  bool started = false;    // the start function accepted the job
  bool succeeded = false;  // the job ended well
  // The last status text; for a job that was not started, the warning that
  // refused it, or kNotDoneText.
  std::string status;
  // A question was answered no or a warning shown while this job started:
  // the prompts have told the user why.
  bool refused = false;
  PortFailure port_failure;  // why the port failed, when the job failed so
  JobOutcome outcome;
  int frames_written = 0;
  // A radio request went unanswered for twice the reply time-out, and the
  // job was ended for it.
  bool unanswered = false;

  // The status text and, after `between`, the system's reason for a port
  // failure (with the fix for a permission error).
  std::string FailureReport(std::string_view between = "\n") const;
  // The port could not be opened or set up.
  bool PortOpenFailed() const { return outcome.port_failed(); }
  // What a network serial server does while it still serves the previous
  // connection: it refuses the next, or takes it and drops it at once (a
  // read sees the end, a write the broken pipe).
  bool RefusedAtOnce() const;
  // Silence to the first request on a port that works: nobody answers to
  // the number asked.
  bool Silent() const;
};

struct JobRunnerSettings {
  // Where each job's port comes from; its timing's read_constant_ms is the
  // reply time-out.
  PortAccess port;
  // Polled while a job runs; true aborts the job as "Przerwij" does.
  std::function<bool()> abort_requested;
  // Each frame written, on the caller's thread.
  std::function<void(int position, int maximum)> on_progress;
};

class JobRunner {
 public:
  JobRunner(Workspace& workspace, JobPrompts& prompts,
            JobRunnerSettings settings);
  JobRunner(const JobRunner&) = delete;
  JobRunner& operator=(const JobRunner&) = delete;

  // Calls `start` with a fresh context and waits until the job has ended.
  JobRunResult Run(const std::function<bool(LinkContext&)>& start);

  Workspace& workspace() { return workspace_; }
  DirectObserver& observer() { return observer_; }
  TransferJob& job() { return job_; }

 private:
  // Passes the caller's prompts through and keeps what refused this job.
  class RunPrompts : public JobPrompts {
   public:
    explicit RunPrompts(JobPrompts& inner) : inner_(inner) {}
    bool Ask(std::string_view text) override;
    void ShowWarning(std::string_view text) override;
    void Clear();
    bool refused = false;
    std::string warning;

   private:
    JobPrompts& inner_;
  };

  Workspace& workspace_;
  JobRunnerSettings settings_;
  RunPrompts prompts_;
  TransferJob job_;
  DirectObserver observer_;
};

}  // namespace lumera
