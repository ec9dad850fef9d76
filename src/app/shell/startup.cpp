#include "app/shell/startup.h"

#include "app/shell/command_line_file.h"
#include "core/session/workspace.h"
#include "core/shell/settings_file.h"

namespace lumera {
StartupResult StartUp(Workspace& workspace, std::string_view command_line,
                      std::optional<std::filesystem::path> settings_path,
                      std::optional<std::string> site_file) {
  StartupResult result;
  result.settings_path = std::move(settings_path);

  // A new workspace and job hold the start values: the shell's values, the
  // empty image and comments, the job state, the configuration record with
  // SyncControllerNumber done, and the clock copy of the computer's time.

  if (std::optional<std::string> name =
          ProgramFileFromCommandLine(command_line)) {
    workspace.settings.program_file_name = *name;
    result.command_line_file = ProgramFileReadable(*name);
  }

  if (result.settings_path) {
    LoadSettings(*result.settings_path, result.command_line_file,
                 workspace.store, workspace.settings);
  }
  if (site_file) {
    workspace.settings.site_file = std::move(*site_file);
    result.site_option = true;
  }
  workspace.store.TakeSnapshot();
  return result;
}

}  // namespace lumera
