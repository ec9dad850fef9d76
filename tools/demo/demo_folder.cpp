// lumera-demo-folder FOLDER PORT: prepares the folder tools/run starts the
// editor in. The first time it writes Lumera.ini, naming COM<PORT>, and the
// sample program with its comment file; later it only sets "Port", so what
// the user changed there stays. Prints the program file the editor is to
// open (the settings' "File"), or nothing when that file is gone.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "core/model/program_file.h"
#include "core/session/workspace.h"
#include "core/shell/profile_file.h"
#include "core/shell/settings_file.h"
#include "sample_program.h"

namespace {

int Fail(const std::string& text) {
  std::fprintf(stderr, "lumera-demo-folder: %s\n", text.c_str());
  return 1;
}

bool WriteFirstTime(const std::filesystem::path& folder, int port) {
  lumera::Workspace workspace;
  lumera::FillSampleProgram(workspace.store);
  if (!lumera::SaveProgramFile(workspace.store,
                               folder / lumera::kSampleProgramFileName)) {
    return false;
  }
  workspace.settings.port_number = port;
  workspace.settings.program_file_name = lumera::kSampleProgramFileName;
  return lumera::SaveSettings(lumera::SettingsPathIn(folder),
                              workspace.settings);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) return Fail("usage: lumera-demo-folder FOLDER PORT");
  const std::filesystem::path folder = argv[1];
  const std::string_view port_text = argv[2];
  int port = 0;
  const auto [end, error] = std::from_chars(
      port_text.data(), port_text.data() + port_text.size(), port);
  if (error != std::errc() || end != port_text.data() + port_text.size() ||
      port < 0) {
    return Fail("not a port number: " + std::string(port_text));
  }

  std::error_code made;
  std::filesystem::create_directories(folder, made);
  if (made)
    return Fail("cannot make " + folder.string() + ": " + made.message());
  const std::filesystem::path settings = lumera::SettingsPathIn(folder);
  std::error_code seen;
  if (!std::filesystem::exists(settings, seen)) {
    if (!WriteFirstTime(folder, port)) {
      return Fail("cannot write the sample program in " + folder.string());
    }
  } else if (!lumera::WriteProfileString(settings, lumera::kSettingsSection,
                                         "Port", std::to_string(port))) {
    return Fail("cannot write " + settings.string());
  }

  const std::string file =
      lumera::GetProfileString(settings, lumera::kSettingsSection, "File", "",
                               lumera::kFileKeyBufferSize);
  if (!file.empty() && std::filesystem::is_regular_file(folder / file, seen)) {
    std::printf("%s\n", file.c_str());
  }
  return 0;
}
