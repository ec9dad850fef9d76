// The editor on a full segment: loading 255 commented rows into the working
// copy, and switching between two full segments (write-back and load).
#include <benchmark/benchmark.h>

#include <string>

#include "core/editor/editor.h"
#include "core/model/program_store.h"

namespace lumera {
namespace {

void FillFullSegment(ProgramStore& store, int segment_index) {
  std::string comment;
  while (comment.size() < 60) comment += "3 żółw pompa ";
  for (int command = 0; command < kCommandsPerSegment; ++command) {
    store.SetCommand(segment_index, command,
                     Command{static_cast<std::uint8_t>(command % 45),
                             static_cast<std::uint8_t>(command),
                             static_cast<std::uint8_t>(segment_index)});
    store.SetComment(segment_index, command, comment);
  }
}

void BM_LoadFullSegment(benchmark::State& state) {
  ProgramStore store;
  FillFullSegment(store, 0);
  Editor editor(store, 1);
  editor.SetUpPage();
  for (auto _ : state) {
    editor.LoadSegmentIntoGrid(1, 1);
    benchmark::DoNotOptimize(editor.rows().size());
  }
}
BENCHMARK(BM_LoadFullSegment);

void BM_SwitchFullSegments(benchmark::State& state) {
  ProgramStore store;
  FillFullSegment(store, 0);
  FillFullSegment(store, 1);
  Editor editor(store, 1);
  editor.SetUpPage();
  editor.LoadSegmentIntoGrid(1, 1);
  int segment = 1;
  for (auto _ : state) {
    segment = 3 - segment;
    editor.ChooseSegment(segment);
    benchmark::DoNotOptimize(editor.rows().size());
  }
}
BENCHMARK(BM_SwitchFullSegments);

}  // namespace
}  // namespace lumera
