// Loading a program file into the workspace: every load, from the window or
// the command line, also takes the controller number of the loaded
// configuration into the page values.
#pragma once

#include <filesystem>

namespace lumera {

struct Workspace;

// False when the file cannot be loaded; the workspace is then unchanged.
bool LoadProgramIntoWorkspace(Workspace& workspace,
                              const std::filesystem::path& path);

}  // namespace lumera
