// lumera-cli --trace: the line trace on the error stream, one line a frame.
#pragma once

#include <ostream>

#include "core/link/line_trace.h"

namespace lumera {

// Written to only by the worker thread while a job runs; the command line
// draws no progress bar then, so nothing else writes the stream meanwhile.
class TracePrinter : public LineTraceSink {
 public:
  explicit TracePrinter(std::ostream& out) : out_(out) {}
  void Record(const TraceRecord& record) override;

 private:
  std::ostream& out_;
  TraceLine line_;
};

}  // namespace lumera
