// A start from the desktop menu works in a folder of its own, so that the
// settings file and the first program do not land in the home folder. A
// start from a terminal keeps the folder it was started from.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace lumera {

// The option the desktop entry starts the editor with.
inline constexpr std::string_view kOwnFolderOption = "--own-folder";
// The folder's name inside the home folder.
inline constexpr char kOwnFolderName[] = "Lumera";

// Makes `home`/Lumera when it is missing and makes it the working directory.
// The folder, or nullopt (the working directory unchanged) when there is no
// home folder or the folder cannot be made or entered.
std::optional<std::filesystem::path> EnterOwnWorkFolder(
    const std::filesystem::path& home);

}  // namespace lumera
