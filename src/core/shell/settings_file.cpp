#include "core/shell/settings_file.h"

#include <fstream>
#include <string>
#include <system_error>

#include "core/model/program_file.h"
#include "core/shell/profile_file.h"

namespace lumera {

namespace {

constexpr char kPortKey[] = "Port";
constexpr char kDeviceKey[] = "Device";
constexpr char kProgramKey[] = "Program";
constexpr char kFileKey[] = "File";
constexpr char kRadioKey[] = "Radio";
constexpr char kEntriesKey[] = "Entries";
constexpr char kAddressKey[] = "Address";
constexpr char kAccessKey[] = "Access";
constexpr char kFixReferencesKey[] = "FixReferences";

int Bounded(int value, int low, int high) {
  return value < low ? low : (value > high ? high : value);
}

bool CanOpenForReading(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream in(path, std::ios::binary);
  return static_cast<bool>(in);
}

}  // namespace

std::filesystem::path SettingsPathIn(const std::filesystem::path& folder) {
  return folder / kSettingsFileName;
}

std::optional<std::filesystem::path> SettingsPathOfWorkingDirectory() {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  if (error || folder.empty()) return std::nullopt;
  return SettingsPathIn(folder);
}

bool LoadSettings(const std::filesystem::path& settings_path,
                  bool command_line_file, const ProgramStore& store,
                  ShellSettings& settings) {
  const bool first_start = !CanOpenForReading(settings_path);
  if (first_start) {
    SaveSettings(settings_path, settings);
    SaveProgramFile(store, settings_path.parent_path() /
                               std::filesystem::path(kDefaultProgramFileName));
  }
  const ProfileFile file =
      ProfileFile::Load(settings_path).value_or(ProfileFile());

  settings.port_number = file.ReadInt(kSettingsSection, kPortKey, 1);
  settings.controller_address =
      Bounded(file.ReadInt(kSettingsSection, kDeviceKey, 1), 1, 255);
  if (command_line_file) {
    settings.current_segment = 1;
  } else {
    settings.current_segment =
        Bounded(file.ReadInt(kSettingsSection, kProgramKey, 1), 1, 10);
    std::string name =
        file.ReadString(kSettingsSection, kFileKey, kDefaultProgramFileName,
                        kFileKeyBufferSize);
    settings.program_file_name =
        name.empty() ? std::string(kDefaultProgramFileName) : std::move(name);
  }
  settings.radio_option = file.ReadInt(kSettingsSection, kRadioKey, 0);
  settings.entries_only = file.ReadInt(kSettingsSection, kEntriesKey, 0);
  settings.target_radio_address =
      RadioAddress::FromWord(file.ReadInt(kSettingsSection, kAddressKey, 0));
  settings.access_point_address =
      RadioAddress::FromWord(file.ReadInt(kSettingsSection, kAccessKey, 0));
  settings.site_file = file.Find(kSiteSection, kFileKey).value_or("");
  settings.fix_references =
      file.ReadInt(kEditorSection, kFixReferencesKey, 1) != 0;
  return first_start;
}

bool SaveSettings(const std::filesystem::path& settings_path,
                  ShellSettings& settings) {
  settings.controller_address = Bounded(settings.controller_address, 1, 255);
  std::error_code error;
  const bool exists = std::filesystem::exists(settings_path, error);
  auto file = ProfileFile::Load(settings_path);
  if (!file) {
    // An existing file that cannot be read is left alone rather than
    // replaced by one that lost its other sections.
    if (exists) return false;
    file.emplace();
  }
  const auto number = [](int value) { return std::to_string(value); };
  // Each key is set even when an earlier one was refused, as separate
  // writes would do.
  bool all =
      file->Write(kSettingsSection, kPortKey, number(settings.port_number));
  all &= file->Write(kSettingsSection, kDeviceKey,
                     number(settings.controller_address));
  all &= file->Write(kSettingsSection, kProgramKey,
                     number(settings.current_segment));
  all &= file->Write(kSettingsSection, kFileKey, settings.program_file_name);
  all &=
      file->Write(kSettingsSection, kRadioKey, number(settings.radio_option));
  all &=
      file->Write(kSettingsSection, kEntriesKey, number(settings.entries_only));
  all &= file->Write(kSettingsSection, kAddressKey,
                     number(settings.target_radio_address.Word()));
  all &= file->Write(kSettingsSection, kAccessKey,
                     number(settings.access_point_address.Word()));
  return file->Save(settings_path) && all;
}

bool SaveProgramFileSetting(const std::filesystem::path& settings_path,
                            const ShellSettings& settings) {
  return WriteProfileString(settings_path, kSettingsSection, kFileKey,
                            settings.program_file_name);
}

bool SaveSiteFileSetting(const std::filesystem::path& settings_path,
                         const ShellSettings& settings) {
  return WriteProfileString(settings_path, kSiteSection, kFileKey,
                            settings.site_file);
}

bool SaveEditorSettings(const std::filesystem::path& settings_path,
                        const ShellSettings& settings) {
  return WriteProfileString(settings_path, kEditorSection, kFixReferencesKey,
                            settings.fix_references ? "1" : "0");
}

}  // namespace lumera
