#include "core/model/program_file.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/model/comment_file.h"

namespace lumera {

bool SaveProgramFile(const ProgramStore& store,
                     const std::filesystem::path& path, FileLayer& files) {
  const std::optional<std::string> comments =
      FormatCommentFile(store.comments());
  if (!comments) return false;
  if (files.WriteAtomically(path, store.image()) != AtomicWriteResult::kOk) {
    return false;
  }
  const std::span<const std::uint8_t> comment_bytes(
      reinterpret_cast<const std::uint8_t*>(comments->data()),
      comments->size());
  return files.WriteAtomically(CommentFileName(path), comment_bytes) !=
         AtomicWriteResult::kWriteFailed;
}

bool LoadProgramFile(ProgramStore& store, const std::filesystem::path& path,
                     const FileLayer& files) {
  ProgramImage buffer{};
  if (!files.ReadStart(path, buffer)) return false;

  store.mutable_image() = buffer;
  store.TakeSnapshot();
  store.MarkLoadedFromFile();
  store.ClearAllComments();
  CommentFileReader reader(store.comments());
  files.ReadPieces(CommentFileName(path),
                   [&reader](std::string_view piece) { reader.Feed(piece); });
  reader.Finish();
  return true;
}

}  // namespace lumera
