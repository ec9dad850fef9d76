// The editor on a full segment: loading 255 commented rows into the working
// copy, and switching between two full segments (write-back and load). On a
// full program of references: renumbering them after an edit, an edit with
// its renumbering and undo step, and the program check.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/editor/editor.h"
#include "core/editor/reference_renumbering.h"
#include "core/model/program_check.h"
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

// Ten segments of 255 commands, every one a reference into segment 1 (in
// segment 1 all six codes, elsewhere those that name a segment), so that an
// edit at its top renumbers all of them.
void FillReferences(ProgramStore& store) {
  constexpr std::uint8_t kOwn[] = {22, 24, 25, 26, 27, 33};
  constexpr std::uint8_t kNamed[] = {24, 27, 33};
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    for (int command = 0; command < kCommandsPerSegment; ++command) {
      const std::uint8_t code =
          segment == 0 ? kOwn[command % 6] : kNamed[command % 3];
      store.SetCommand(
          segment, command,
          Command{code, static_cast<std::uint8_t>(command % 254 + 2), 1});
    }
  }
}

// The renumbering alone: segment 1's first row removed, then put back
// (the moves of a delete and an insert at the top), one per iteration.
void BM_RenumberFullProgram(benchmark::State& state) {
  ProgramStore store;
  FillReferences(store);
  std::vector<Command> rows(kCommandsPerSegment);
  for (int k = 0; k < kCommandsPerSegment; ++k) rows[k] = store.CommandAt(0, k);
  const RowMoves removed = RowMoves::Removed(kCommandsPerSegment, 0, 1);
  const RowMoves inserted = RowMoves::Inserted(kCommandsPerSegment - 1, 0, 1);
  std::vector<ReferenceChange> changes;
  changes.reserve(kSegmentCount * kCommandsPerSegment);
  bool remove = true;
  for (auto _ : state) {
    const RowMoves& moves = remove ? removed : inserted;
    changes.clear();
    // All 2550 commands change, each time.
    int changed = RenumberCommands(rows, 0, 0, moves);
    changed += RenumberStoredReferences(store, 0, moves, changes);
    remove = !remove;
    benchmark::DoNotOptimize(changed);
  }
}
BENCHMARK(BM_RenumberFullProgram);

// The editor's whole edit: "Usuń" and "Wstaw  <" at the top of segment 1
// in turn, each with its renumbering, write-back and undo step.
void BM_EditFullProgramWithReferences(benchmark::State& state) {
  ProgramStore store;
  FillReferences(store);
  Editor editor(store, 1);
  editor.SetUpPage();
  editor.LoadSegmentIntoGrid(1, 1);
  editor.SetFixReferences(state.range(0) != 0);
  bool remove = true;
  for (auto _ : state) {
    editor.SelectCell(0, 1);
    if (remove) {
      editor.DeleteCommand();
    } else {
      editor.AddCommand(AddMode::kInsert);
    }
    remove = !remove;
    benchmark::DoNotOptimize(editor.TakeFixedReferenceCount());
  }
}
BENCHMARK(BM_EditFullProgramWithReferences)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

void BM_CheckFullProgram(benchmark::State& state) {
  ProgramStore store;
  FillReferences(store);
  for (auto _ : state) {
    // 807 findings: the calls, into a segment without a return.
    const std::vector<ProgramFinding> findings = CheckProgram(store);
    benchmark::DoNotOptimize(findings.data());
  }
}
BENCHMARK(BM_CheckFullProgram);

}  // namespace
}  // namespace lumera
