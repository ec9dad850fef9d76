// The window's line trace: with LUMERA_TRACE=FILE in the environment every
// frame of every job goes into FILE.
#pragma once

#include <memory>

#include "core/link/trace_file.h"

namespace lumera {

// The trace file LUMERA_TRACE names, truncated; none when the variable is
// unset or empty, or when the file cannot be written (said on stderr).
// The job's port access takes it as its trace; it must outlive the job.
std::unique_ptr<TraceFile> TraceFromEnvironment();

}  // namespace lumera
