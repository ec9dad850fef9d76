// What a job of the command line shows while it runs: its questions, answered
// by --yes or refused with the question shown, its warnings, and its progress
// as a bar on a terminal.
#pragma once

#include <ostream>
#include <string_view>

#include "core/link/transfer_job.h"

namespace lumera {

class CliPrompts : public JobPrompts {
 public:
  CliPrompts(bool yes, std::ostream& err) : yes_(yes), err_(err) {}
  bool Ask(std::string_view text) override;
  void ShowWarning(std::string_view text) override;

 private:
  bool yes_;
  std::ostream& err_;
};

// A bar of the frames written, redrawn in place; cleared when the job ends.
class TerminalProgress {
 public:
  explicit TerminalProgress(std::ostream& err) : err_(err) {}
  void Draw(int position, int maximum);
  void Clear();

 private:
  std::ostream& err_;
  bool drawn_ = false;
};

}  // namespace lumera
