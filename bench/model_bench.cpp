// Saving and loading a full program: every slot holds a command and a
// comment of the longest length, with Polish letters to encode and decode.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/model/comment_file.h"
#include "core/model/program_file.h"
#include "core/model/program_store.h"

namespace lumera {
namespace {

std::filesystem::path BenchFolder() {
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("lumera_model_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  return folder;
}

void FillFullProgram(ProgramStore& store) {
  std::string comment;
  while (comment.size() < 190) comment += "żółw pompa ";
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    for (int command = 0; command < kCommandsPerSegment; ++command) {
      store.SetCommand(segment, command,
                       Command{static_cast<std::uint8_t>(command % 45),
                               static_cast<std::uint8_t>(segment),
                               static_cast<std::uint8_t>(command)});
      store.SetComment(segment, command, comment);
    }
  }
}

void BM_SaveAndLoadFullProgram(benchmark::State& state) {
  const std::filesystem::path folder = BenchFolder();
  const std::filesystem::path file = folder / "full.prg";
  ProgramStore source;
  FillFullProgram(source);
  ProgramStore target;
  for (auto _ : state) {
    if (!SaveProgramFile(source, file) || !LoadProgramFile(target, file)) {
      state.SkipWithError("save or load failed");
      break;
    }
    benchmark::DoNotOptimize(target.image().data());
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveAndLoadFullProgram)->Unit(benchmark::kMillisecond);

// The text work alone, without the disk: encoding and decoding 2550 comments.
void BM_FormatAndParseCommentFile(benchmark::State& state) {
  ProgramStore source;
  FillFullProgram(source);
  CommentTable table;
  for (auto _ : state) {
    const std::optional<std::string> bytes =
        FormatCommentFile(source.comments());
    if (!bytes) {
      state.SkipWithError("comments not encodable");
      break;
    }
    ParseCommentFile(*bytes, table);
    benchmark::DoNotOptimize(table);
  }
}
BENCHMARK(BM_FormatAndParseCommentFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumera
