// The editor's Qt grid on a full segment, on the offscreen platform: loading
// 255 commented rows, switching between two full segments (write-back and
// load), and an edit at the top of a full program of references, with and
// without "Popraw odwołania", each until the grid has been laid out and
// painted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>

#include "app/pages/editor/command_grid_view.h"
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
    // Digits 0..9 in turn: every row gets a colour of its own.
    comment[0] = static_cast<char>('0' + command % 10);
    store.SetComment(segment_index, command, comment);
  }
}

// A shown grid of the editor page's size over the editor.
struct ShownGrid {
  ProgramStore store;
  Editor editor{store, 1};
  CommandGridView grid{editor};

  ShownGrid() {
    FillFullSegment(store, 0);
    FillFullSegment(store, 1);
    editor.SetUpPage();
    grid.resize(1000, 420);
    grid.show();
    QApplication::processEvents();
  }
};

void BM_QtLoadFullSegment(benchmark::State& state) {
  ShownGrid shown;
  for (auto _ : state) {
    shown.editor.LoadSegmentIntoGrid(1, 1);
    QApplication::processEvents();  // layout and paint
    benchmark::DoNotOptimize(shown.grid.model()->rowCount());
  }
}
BENCHMARK(BM_QtLoadFullSegment)->Unit(benchmark::kMillisecond);

void BM_QtSwitchFullSegments(benchmark::State& state) {
  ShownGrid shown;
  shown.editor.LoadSegmentIntoGrid(1, 1);
  int segment = 1;
  for (auto _ : state) {
    segment = 3 - segment;
    shown.editor.ChooseSegment(segment);
    QApplication::processEvents();
    benchmark::DoNotOptimize(shown.grid.model()->rowCount());
  }
}
BENCHMARK(BM_QtSwitchFullSegments)->Unit(benchmark::kMillisecond);

// "Usuń" and "Wstaw  <" at the top of segment 1 in turn, in a program
// whose 2550 commands all name commands of segment 1.
void BM_QtEditFullProgramWithReferences(benchmark::State& state) {
  ShownGrid shown;
  constexpr std::uint8_t kNamed[] = {24, 27, 33};
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    for (int command = 0; command < kCommandsPerSegment; ++command) {
      shown.store.SetCommand(
          segment, command,
          Command{kNamed[command % 3],
                  static_cast<std::uint8_t>(command % 254 + 2), 1});
    }
  }
  shown.editor.LoadSegmentIntoGrid(1, 1);
  shown.editor.SetFixReferences(state.range(0) != 0);
  QApplication::processEvents();
  bool remove = true;
  for (auto _ : state) {
    shown.editor.SelectCell(0, 1);
    if (remove) {
      shown.editor.DeleteCommand();
    } else {
      shown.editor.AddCommand(AddMode::kInsert);
    }
    remove = !remove;
    QApplication::processEvents();
    benchmark::DoNotOptimize(shown.grid.model()->rowCount());
  }
}
BENCHMARK(BM_QtEditFullProgramWithReferences)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumera

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
