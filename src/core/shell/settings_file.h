// The settings file "Lumera.ini": section "Config" with the eight keys of
// ShellSettings, kept in the folder the program was started from.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>

#include "core/model/program_store.h"
#include "core/shell/shell_settings.h"

namespace lumera {

inline constexpr char kSettingsFileName[] = "Lumera.ini";
inline constexpr char kSettingsSection[] = "Config";
// "File" is read through a buffer of this size: at most 99 characters.
inline constexpr std::size_t kFileKeyBufferSize = 100;

// `folder`/Lumera.ini. Any length.
std::filesystem::path SettingsPathIn(const std::filesystem::path& folder);
// The same for the current working directory; nullopt when the system
// cannot report it, and then the run goes without a settings file.
std::optional<std::filesystem::path> SettingsPathOfWorkingDirectory();

// Reads the settings into `settings`. When the file cannot be opened for
// reading this is a first start: SaveSettings writes the start values and
// the default program file "Prog_001.prg" is saved beside the settings file
// from `store` (its result is not reported). With `command_line_file` set,
// "Program" and "File" are not read and the segment becomes 1. Returns true
// on a first start.
bool LoadSettings(const std::filesystem::path& settings_path,
                  bool command_line_file, const ProgramStore& store,
                  ShellSettings& settings);

// Writes all eight keys, first bounding the controller address to 1..255
// in `settings`. The result is for tests; callers go on either way.
bool SaveSettings(const std::filesystem::path& settings_path,
                  ShellSettings& settings);

// Writes "File" alone, after a program file was loaded or saved.
bool SaveProgramFileSetting(const std::filesystem::path& settings_path,
                            const ShellSettings& settings);

// The site file opened last lives in a section of its own, so that "Config"
// keeps its eight keys. LoadSettings reads it into `site_file`; this writes
// it alone, after a site file was opened or saved.
inline constexpr char kSiteSection[] = "Site";
bool SaveSiteFileSetting(const std::filesystem::path& settings_path,
                         const ShellSettings& settings);

// The editor page's own choices, likewise in a section of their own: read
// by LoadSettings, written alone when the user changes one.
inline constexpr char kEditorSection[] = "Editor";
bool SaveEditorSettings(const std::filesystem::path& settings_path,
                        const ShellSettings& settings);

}  // namespace lumera
