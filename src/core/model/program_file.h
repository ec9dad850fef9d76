// Program files: the 7714-byte image byte for byte, with the comment file
// beside it (see comment_file.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/atomic_file.h"
#include "core/model/file_layer.h"
#include "core/model/program_store.h"

namespace lumera {

// What the user is told when a save or a load fails, with the captions of
// the message boxes that show it.
inline constexpr std::string_view kProgramSaveCaption = "ZAPIS PLIKU PROGRAMU";
inline constexpr std::string_view kProgramSaveFailedText =
    "Błąd zapisu pliku !";
inline constexpr std::string_view kProgramLoadCaption = "ODCZYT PLIKU PROGRAMU";
inline constexpr std::string_view kProgramLoadFailedText =
    "Błąd odczytu pliku !";

// The size of a program file: the image and nothing else.
inline constexpr std::uintmax_t kProgramFileSize = kImageSize;

// Why a file of `size` bytes is not sent as a program, naming it: "Plik
// a.prg ma 0 bajtów, a plik programu ma 7714 bajtów." Nothing for a file of
// a program's size.
std::optional<std::string> ProgramSizeRefusal(const std::filesystem::path& file,
                                              std::uintmax_t size);

// What a load of a file of `size` bytes did that a user should know (a
// shorter file is filled up with zeros, of a longer one only the start is
// taken): "Plik krótszy niż program (100 z 7714 bajtów)." Empty for a file
// of a program's size.
std::string ProgramSizeNote(std::uintmax_t size);

// A save that worked, or the file it could not write and why.
struct ProgramSaveResult {
  std::optional<FileWriteError> error;
  explicit operator bool() const { return !error; }
};

// Writes the image to `path` and the comments to CommentFileName(path), as
// a pair: both are written in full to temporary files and flushed before
// either replaces its file, and then the two renames follow each other, the
// comment file's first. A failure before the renames leaves both files as
// they were; a kill between the renames leaves the new comments beside the
// old program, and the next save of that name removes the program's
// temporary file. A comment that cannot be written in code page 1250 fails
// the save before anything is written.
ProgramSaveResult SaveProgramFile(const ProgramStore& store,
                                  const std::filesystem::path& path,
                                  FileLayer& files = DiskFiles());

// Reads the program file into the image (a shorter file leaves the rest of
// the image zero, a longer one gives its first 7714 bytes), takes the
// snapshot, marks the store loaded from a file and replaces all comments by
// those of the comment file (none when it cannot be read). False, with the
// store untouched, when the file is missing, not a regular file, or cannot be
// read completely. `file_size`, when given, receives the file's size. The
// caller shows segment 1 after a successful load.
bool LoadProgramFile(ProgramStore& store, const std::filesystem::path& path,
                     const FileLayer& files = DiskFiles(),
                     std::uintmax_t* file_size = nullptr);

}  // namespace lumera
