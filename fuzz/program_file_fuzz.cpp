// Program and comment files of any shape, loaded from disk: a load that
// succeeds gives the image the file holds (cut or zero-filled to 7714
// bytes) and saves back to the same bytes, comments included; a load that
// is refused (no file, a folder) leaves the store exactly as it was.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "core/model/comment_file.h"
#include "core/model/program_file.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;

// One folder for the whole run, in memory where the system has one; gone
// when the run ends.
struct RunFolder {
  fs::path path;
  ~RunFolder() {
    std::error_code error;
    fs::remove_all(path, error);
  }
};

const fs::path& Folder() {
  static const RunFolder folder{[] {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm")
                                                 : fs::temp_directory_path();
    std::string pattern = (base / "lumera-fuzz-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    LUMERA_FUZZ_CHECK(made != nullptr);
    return fs::path(made);
  }()};
  return folder.path;
}

void Write(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  LUMERA_FUZZ_CHECK(out.good());
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool SameStore(const ProgramStore& a, const ProgramStore& b) {
  return a.image() == b.image() && a.snapshot() == b.snapshot() &&
         a.comments() == b.comments() &&
         a.LoadedFromFile() == b.LoadedFromFile();
}

bool SameTexts(const CommentTable& a, const CommentTable& b) {
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    for (int command = 0; command < kCommandsPerSegment; ++command) {
      if (a.Text(segment, command) != b.Text(segment, command)) return false;
    }
  }
  return true;
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

  const fs::path path = Folder() / "p.prg";
  const fs::path comment_path = CommentFileName(path);
  std::error_code error;
  fs::remove_all(path, error);
  fs::remove(comment_path, error);
  if (mode != 3) Write(comment_path, comments);

  if (mode == 0 || mode == 1) {
    // Refused: no program file, or a folder in its place.
    if (mode == 1) fs::create_directory(path);
    ProgramStore store;
    Prefill(store);
    ProgramStore before;
    Prefill(before);
    LUMERA_FUZZ_CHECK(!LoadProgramFile(store, path));
    LUMERA_FUZZ_CHECK(SameStore(store, before));
    return;
  }

  Write(path, program);
  ProgramStore store;
  Prefill(store);
  LUMERA_FUZZ_CHECK(LoadProgramFile(store, path));
  ProgramImage expected{};
  std::copy_n(program.begin(), std::min(program.size(), expected.size()),
              expected.begin());
  LUMERA_FUZZ_CHECK(store.image() == expected);
  LUMERA_FUZZ_CHECK(!store.ProgramImageChanged() && store.LoadedFromFile());
  // Comments come from the comment file alone.
  CommentTable parsed;
  if (mode != 3) ParseCommentFile(comments, parsed);
  LUMERA_FUZZ_CHECK(store.comments() == parsed);

  const fs::path saved = Folder() / "s.prg";
  LUMERA_FUZZ_CHECK(SaveProgramFile(store, saved));
  const std::string saved_program = Read(saved);
  LUMERA_FUZZ_CHECK(saved_program.size() == kImageSize);
  LUMERA_FUZZ_CHECK(std::equal(saved_program.begin(), saved_program.end(),
                               expected.begin(), [](char a, std::uint8_t b) {
                                 return static_cast<std::uint8_t>(a) == b;
                               }));
  if (program.size() == kImageSize) LUMERA_FUZZ_CHECK(saved_program == program);
  const std::optional<std::string> formatted =
      FormatCommentFile(store.comments());
  LUMERA_FUZZ_CHECK(formatted && Read(CommentFileName(saved)) == *formatted);

  ProgramStore again;
  LUMERA_FUZZ_CHECK(LoadProgramFile(again, saved));
  LUMERA_FUZZ_CHECK(again.image() == store.image());
  // An empty comment is no comment: it is not written, and reads back
  // absent.
  LUMERA_FUZZ_CHECK(SameTexts(again.comments(), store.comments()));
}

}  // namespace lumera
