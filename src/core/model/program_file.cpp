#include "core/model/program_file.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/model/comment_file.h"

namespace lumera {
namespace {

// "1 bajt", "3 bajty", "7714 bajtów".
std::string Bytes(std::uintmax_t count) {
  const std::uintmax_t tens = count % 100;
  const std::uintmax_t ones = count % 10;
  const char* word = count == 1 ? "bajt"
                     : ones >= 2 && ones <= 4 && !(tens >= 12 && tens <= 14)
                         ? "bajty"
                         : "bajtów";
  return std::to_string(count) + " " + word;
}

}  // namespace

std::optional<std::string> ProgramSizeRefusal(const std::filesystem::path& file,
                                              std::uintmax_t size) {
  if (size == kProgramFileSize) return std::nullopt;
  return "Plik " + file.string() + " ma " + Bytes(size) +
         ", a plik programu ma " + Bytes(kProgramFileSize) + ".";
}

std::string ProgramSizeNote(std::uintmax_t size) {
  // Short enough for the window's status line.
  if (size < kProgramFileSize) {
    return "Plik krótszy niż program (" + std::to_string(size) + " z " +
           Bytes(kProgramFileSize) + ").";
  }
  if (size > kProgramFileSize) {
    return "Plik dłuższy niż program (" + Bytes(size) + "): wczytano " +
           std::to_string(kProgramFileSize) + ".";
  }
  return {};
}

ProgramSaveResult SaveProgramFile(const ProgramStore& store,
                                  const std::filesystem::path& path,
                                  FileLayer& files) {
  const std::filesystem::path comment_path = CommentFileName(path);
  const std::optional<std::string> comments =
      FormatCommentFile(store.comments());
  if (!comments) {
    const CommentSlot slot = FindUnencodableComment(store.comments()).value();
    return {FileWriteError{
        comment_path, "komentarz " + std::to_string(slot.segment + 1) + "/" +
                          std::to_string(slot.command + 1) +
                          " ma znak spoza strony kodowej 1250"}};
  }
  FileWriteError error;
  const std::unique_ptr<StagedWrite> program =
      files.Stage(path, store.image(), error);
  if (!program) return {error};
  const std::unique_ptr<StagedWrite> comment_file =
      files.Stage(comment_path,
                  std::span<const std::uint8_t>(
                      reinterpret_cast<const std::uint8_t*>(comments->data()),
                      comments->size()),
                  error);
  if (!comment_file) return {error};
  // The program file goes last: until it is renamed, it is the old one.
  if (!comment_file->Commit(error) || !program->Commit(error)) return {error};
  files.SyncFolderOf(path);
  return {};
}

bool LoadProgramFile(ProgramStore& store, const std::filesystem::path& path,
                     const FileLayer& files, std::uintmax_t* file_size) {
  ProgramImage buffer{};
  const std::optional<FileStart> start = files.ReadStart(path, buffer);
  if (!start) return false;
  if (file_size != nullptr) *file_size = start->file_size;

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
