// Program and comment files of any shape, loaded and saved through the
// program's own file code over files kept in memory: a load that succeeds
// gives the image the file holds (cut or zero-filled to 7714 bytes) and
// saves back to the same bytes, comments included; a load that is refused
// (no file, a folder) leaves the store exactly as it was; a save whose
// comment file cannot be written leaves the program file as it was.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "comment_texts.h"
#include "core/model/comment_file.h"
#include "core/model/program_file.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "memory_files.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;

bool SameStore(const ProgramStore& a, const ProgramStore& b) {
  return a.image() == b.image() && a.snapshot() == b.snapshot() &&
         a.comments() == b.comments() &&
         a.LoadedFromFile() == b.LoadedFromFile();
}

// A store with something of everything in it, for the refused loads.
void Prefill(ProgramStore& store) {
  store.SetCommand(2, 7, Command{1, 2, 3});
  store.TakeSnapshot();
  store.SetCommand(3, 0, Command{4, 5, 6});
  store.SetComment(2, 7, "komentarz");
}

}  // namespace

void FuzzInput(std::string_view bytes) {
  if (bytes.size() < 3) return;
  // Byte 0: what lies at the program's path; bytes 1-2: where the program
  // file's bytes end and the comment file's begin.
  const unsigned mode = static_cast<unsigned char>(bytes[0]) % 4;
  const std::size_t split =
      std::min<std::size_t>((static_cast<unsigned char>(bytes[1]) |
                             static_cast<unsigned char>(bytes[2]) << 8) *
                                2u,
                            bytes.size() - 3);
  const std::string_view program = bytes.substr(3, split);
  const std::string_view comments = bytes.substr(3 + split);

  MemoryFiles files;
  const fs::path path = "p.prg";
  const fs::path comment_path = CommentFileName(path);
  if (mode != 3) files.Put(comment_path, comments);

  if (mode == 0 || mode == 1) {
    // Refused: no program file, or a folder in its place.
    if (mode == 1) files.PutFolder(path);
    ProgramStore store;
    Prefill(store);
    ProgramStore before;
    Prefill(before);
    LUMERA_FUZZ_CHECK(!LoadProgramFile(store, path, files));
    LUMERA_FUZZ_CHECK(SameStore(store, before));
    return;
  }

  files.Put(path, program);
  ProgramStore store;
  Prefill(store);
  std::uintmax_t size = 0;
  LUMERA_FUZZ_CHECK(LoadProgramFile(store, path, files, &size));
  LUMERA_FUZZ_CHECK(size == program.size());
  ProgramImage expected{};
  std::memcpy(expected.data(), program.data(),
              std::min(program.size(), expected.size()));
  LUMERA_FUZZ_CHECK(store.image() == expected);
  LUMERA_FUZZ_CHECK(!store.ProgramImageChanged() && store.LoadedFromFile());
  // Comments come from the comment file alone.
  CommentTable parsed;
  if (mode != 3) ParseCommentFile(comments, parsed);
  LUMERA_FUZZ_CHECK(store.comments() == parsed);

  const fs::path saved = "s.prg";
  LUMERA_FUZZ_CHECK(SaveProgramFile(store, saved, files));
  const std::string saved_program = files.Get(saved).value_or("");
  LUMERA_FUZZ_CHECK(saved_program.size() == kImageSize);
  LUMERA_FUZZ_CHECK(
      std::memcmp(saved_program.data(), expected.data(), kImageSize) == 0);
  if (program.size() == kImageSize) LUMERA_FUZZ_CHECK(saved_program == program);
  const std::optional<std::string> formatted =
      FormatCommentFile(store.comments());
  LUMERA_FUZZ_CHECK(formatted &&
                    files.Get(CommentFileName(saved)) == *formatted);

  ProgramStore again;
  LUMERA_FUZZ_CHECK(LoadProgramFile(again, saved, files));
  LUMERA_FUZZ_CHECK(again.image() == store.image());
  // An empty comment is no comment: it is not written, and reads back
  // absent.
  LUMERA_FUZZ_CHECK(NonEmptyComments(again.comments()) ==
                    NonEmptyComments(store.comments()));

  // The program and its comments change together: a comment file that
  // cannot be written leaves the program file as it was.
  const fs::path paired = "f.prg";
  files.Put(paired, program);
  files.PutFolder(CommentFileName(paired));
  const ProgramSaveResult refused = SaveProgramFile(store, paired, files);
  LUMERA_FUZZ_CHECK(!refused && refused.error->file == CommentFileName(paired));
  LUMERA_FUZZ_CHECK(files.Get(paired) == program);
}

}  // namespace lumera
