// A line trace written to a file, one line a record (see FormatTraceLine),
// flushed at once so that a job that hangs still shows its last frame.
#pragma once

#include <cstdio>
#include <filesystem>

#include "core/link/line_trace.h"

namespace lumera {

class TraceFile : public LineTraceSink {
 public:
  // Truncates `path`; is_open() tells whether that worked.
  explicit TraceFile(const std::filesystem::path& path);
  ~TraceFile() override;
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;

  bool is_open() const { return file_ != nullptr; }
  // Worker thread only; the file is used by nothing else.
  void Record(const TraceRecord& record) override;

 private:
  std::FILE* file_ = nullptr;
  TraceLine line_;
};

}  // namespace lumera
