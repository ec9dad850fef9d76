// Program files: the 7714-byte image byte for byte, with the comment file
// beside it (see comment_file.h).
#pragma once

#include <filesystem>
#include <string_view>

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

// Writes the image to `path` and the comments to CommentFileName(path).
// True when the program file was written completely and the comment file was
// either written completely or could not be created at all (the program is
// saved then, the old comment file, if any, stays). False when the program
// file could not be written (the comment file is not touched), when writing
// the comment file failed part-way, or when a comment cannot be written in
// code page 1250 (then neither file is touched). Each file is replaced in one
// step, so a failed save leaves the file that was there intact.
bool SaveProgramFile(const ProgramStore& store,
                     const std::filesystem::path& path,
                     FileLayer& files = DiskFiles());

// Reads the program file into the image (a shorter file leaves the rest of
// the image zero, a longer one gives its first 7714 bytes), takes the
// snapshot, marks the store loaded from a file and replaces all comments by
// those of the comment file (none when it cannot be read). False, with the
// store untouched, when the file is missing, not a regular file, or cannot be
// read completely. The caller shows segment 1 after a successful load.
bool LoadProgramFile(ProgramStore& store, const std::filesystem::path& path,
                     const FileLayer& files = DiskFiles());

}  // namespace lumera
