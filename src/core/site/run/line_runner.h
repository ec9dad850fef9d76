// The jobs of one line of a site: its own workspace and job runner, the
// port opened by the line's name for each job, the controller each job
// addresses, and the patience a site needs beyond one job's (a network
// serial server still busy with the previous connection).
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "core/session/job_runner.h"
#include "core/session/workspace.h"
#include "core/site/file/site_file.h"
#include "core/site/run/site_run_settings.h"

namespace lumera {

class SiteLineRunner {
 public:
  SiteLineRunner(const SiteLine& line, const SiteRunSettings& settings,
                 const std::atomic<bool>& abort);

  Workspace& ws() { return *workspace_; }

  // The controller the next jobs address, with its radio target.
  void Address(const SiteController& controller);

  // Runs one job to its end, trying again while a network serial server
  // refuses the connection at once.
  JobRunResult Run(const std::function<bool(LinkContext&)>& start);

 private:
  // The site's jobs ask nothing: the plan was confirmed before they ran.
  class Prompts : public JobPrompts {
   public:
    bool Ask(std::string_view) override { return true; }
    void ShowWarning(std::string_view) override {}
  };

  const SiteLine& line_;
  const SiteRunSettings& settings_;
  const std::atomic<bool>& abort_;
  std::unique_ptr<Workspace> workspace_;
  Prompts prompts_;
  std::unique_ptr<JobRunner> runner_;
};

}  // namespace lumera
