// The names of the temporary files that replace a file in one step
// (atomic_file.h): ".NAME.<hash of NAME><random tag>.tmp" beside it, where
// NAME is cut to stay within the file system's name limit.
#pragma once

#include <filesystem>

namespace lumera {

// The temporary name beside `target` for one attempt.
std::filesystem::path TempFileName(const std::filesystem::path& target,
                                   unsigned random_tag);

// Removes the temporary files of `target` that a write killed between
// creating and renaming its file left behind; those of other names stay.
void RemoveLeftoverTempFiles(const std::filesystem::path& target);

}  // namespace lumera
