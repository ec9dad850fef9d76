#include "app/session/trace_from_environment.h"

#include <cstdio>
#include <cstdlib>

namespace lumera {

std::unique_ptr<TraceFile> TraceFromEnvironment() {
  const char* path = std::getenv("LUMERA_TRACE");
  if (path == nullptr || path[0] == '\0') return nullptr;
  auto trace = std::make_unique<TraceFile>(path);
  if (!trace->is_open()) {
    std::fprintf(stderr, "lumera: LUMERA_TRACE: cannot write %s\n", path);
    return nullptr;
  }
  return trace;
}

}  // namespace lumera
