#include "core/session/program_loading.h"

#include "core/config/controller_config.h"
#include "core/model/program_file.h"
#include "core/session/workspace.h"

namespace lumera {

bool LoadProgramIntoWorkspace(Workspace& workspace,
                              const std::filesystem::path& path,
                              std::uintmax_t* file_size) {
  if (!LoadProgramFile(workspace.store, path, DiskFiles(), file_size)) {
    return false;
  }
  SyncControllerNumber(workspace.store.mutable_image(), workspace.config_page);
  return true;
}

}  // namespace lumera
