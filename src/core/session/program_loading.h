// Loading a program file into the workspace: every load, from the window or
// the command line, also takes the controller number of the loaded
// configuration into the page values.
#pragma once

#include <cstdint>
#include <filesystem>

namespace lumera {

struct Workspace;

// False when the file cannot be loaded; the workspace is then unchanged.
// `file_size`, when given, receives the size of the file (a program file
// that is not 7714 bytes long loads all the same, see program_file.h).
bool LoadProgramIntoWorkspace(Workspace& workspace,
                              const std::filesystem::path& path,
                              std::uintmax_t* file_size = nullptr);

}  // namespace lumera
