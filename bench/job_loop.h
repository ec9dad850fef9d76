// Runs one kind of job once per benchmark iteration and counts its frames.
#pragma once

#include <benchmark/benchmark.h>

#include "core/session/jobs.h"
#include "core/session/reply_apply.h"

namespace lumera {

// `start` is a job of the session (StartUploadProgram, ...); a job that
// fails ends the benchmark with its status text.
inline void RunJobEachIteration(benchmark::State& state, LinkContext& context,
                                DirectObserver& observer,
                                bool (*start)(LinkContext&,
                                              const EditorSide&)) {
  const EditorSide editor;
  for (auto _ : state) {
    observer.ClearRecord();
    if (!start(context, editor) || !observer.WaitForJob()) {
      state.SkipWithError(observer.last_status().c_str());
      break;
    }
    context.job.Join();
  }
  state.counters["frames"] = observer.frames_written();
}

}  // namespace lumera
