// Start-up before the main window: every working value gets its start value,
// the command line may name a program file, and the settings file is read
// (created, with the default program file, on the first start).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumera {

struct Workspace;

struct StartupResult {
  // Where the settings file lives; none when the working directory cannot
  // be told, and then the run keeps no settings.
  std::optional<std::filesystem::path> settings_path;
  // A program file named on the command line exists; the editor page loads
  // it as it is created.
  bool command_line_file = false;
  // A site file was named with --site: the window starts on its page.
  bool site_option = false;
};

// Runs the start-up steps on a freshly made workspace. `command_line` is the
// text after the program's name; `settings_path` is normally
// SettingsPathOfWorkingDirectory(). `site_file`, from --site, replaces the
// site file the settings remember.
StartupResult StartUp(Workspace& workspace, std::string_view command_line,
                      std::optional<std::filesystem::path> settings_path,
                      std::optional<std::string> site_file = std::nullopt);

}  // namespace lumera
