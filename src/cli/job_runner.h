// Runs one job of the core from the command line: the same Start function a
// button calls, then waits for the worker on this thread, drawing progress on
// a terminal and reporting the outcome with the status line's own texts.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "core/link/line_trace.h"
#include "core/link/serial_port.h"
#include "core/link/transfer_job.h"
#include "core/session/jobs.h"
#include "core/session/reply_apply.h"

namespace lumera {

// Questions are answered by --yes, else refused with the question shown;
// warnings go to the error stream.
class CliPrompts : public JobPrompts {
 public:
  CliPrompts(bool yes, std::ostream& err) : yes_(yes), err_(err) {}
  bool Ask(std::string_view text) override;
  void ShowWarning(std::string_view text) override;
  // True once a question was refused or a warning shown.
  bool refused() const { return refused_; }

 private:
  bool yes_;
  std::ostream& err_;
  bool refused_ = false;
};

// Where the job's port comes from and how long a reply may take.
struct CliPortSetup {
  std::optional<std::string> device_path;  // instead of COM<PortNumber>
  int timeout_ms = 3000;
  // Empty: the system's serial port.
  std::function<std::unique_ptr<SerialPort>()> create;
  LineTraceSink* trace = nullptr;  // none: no line trace
};

struct CliJobResult {
  bool started = false;      // the Start function accepted the job
  bool succeeded = false;    // the job ended with the success text
  std::string status;        // last status-line text
  PortFailure port_failure;  // why the port failed, when the job failed so
  JobOutcome outcome;        // how the job ended
};

class CliJobRunner {
 public:
  // `interrupted`, when given, is polled while a job runs; once it reports
  // true the job is aborted as by "Przerwij".
  CliJobRunner(Workspace& workspace, CliPortSetup port, bool yes,
               std::ostream& err, bool progress_bar,
               std::function<bool()> interrupted = {});

  // Calls `start` with a fresh context and waits until the job has ended.
  CliJobResult Run(const std::function<bool(LinkContext&)>& start);

  // The text for a failed or refused job: the status text and, on a second
  // line, the system's reason with the fix for a permission error.
  static std::string FailureReport(const CliJobResult& outcome);

  DirectObserver& observer() { return observer_; }
  TransferJob& job() { return job_; }
  CliPrompts& prompts() { return prompts_; }

 private:
  void DrawProgress(int position, int maximum);

  Workspace& workspace_;
  CliPortSetup port_;
  std::ostream& err_;
  bool progress_bar_;
  bool progress_drawn_ = false;
  std::function<bool()> interrupted_;
  CliPrompts prompts_;
  TransferJob job_;
  DirectObserver observer_;
};

}  // namespace lumera
