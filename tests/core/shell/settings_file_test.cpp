#include "core/shell/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/config/config_page_values.h"
#include "core/model/model_test_support.h"
#include "core/model/program_store.h"

namespace lumera {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::path(::testing::TempDir()) /
        ("lumera_settings_" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    path_ = SettingsPathIn(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
  std::filesystem::path path_;
  ProgramStore store_;
};

constexpr char kFirstStartFile[] =
    "[Config]\r\n"
    "Port=1\r\n"
    "Device=1\r\n"
    "Program=1\r\n"
    "File=Prog_001.prg\r\n"
    "Radio=0\r\n"
    "Entries=0\r\n"
    "Address=65520\r\n"
    "Access=65280\r\n";

TEST_F(SettingsFileTest, FirstStartWritesTheNineLinesAndTheDefaultProgram) {
  ProgramStore store;
  ConfigPageValues page;
  ControllerStatus status;
  StartConfiguration(store.mutable_image(), status, page, std::tm{});
  ShellSettings settings;

  EXPECT_TRUE(LoadSettings(path_, false, store, settings));

  EXPECT_EQ(path_.filename(), "Lumera.ini");
  EXPECT_EQ(ReadAll(path_), kFirstStartFile);
  const std::filesystem::path program = folder_ / "Prog_001.prg";
  ASSERT_TRUE(std::filesystem::exists(program));
  const std::string bytes = ReadAll(program);
  ASSERT_EQ(bytes.size(), 7714u);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), store.image().begin(),
                         [](char a, std::uint8_t b) {
                           return static_cast<std::uint8_t>(a) == b;
                         }));
  const std::filesystem::path comments = folder_ / "Prog_001.cmt";
  ASSERT_TRUE(std::filesystem::exists(comments));
  EXPECT_EQ(std::filesystem::file_size(comments), 0u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                          std::filesystem::directory_iterator()),
            3);

  // The start values come back from the file as they were.
  EXPECT_EQ(settings.program_file_name, "Prog_001.prg");
  EXPECT_EQ(settings.target_radio_address, (RadioAddress{15, 15, 240}));
  EXPECT_EQ(settings.access_point_address, (RadioAddress{15, 15, 0}));
  EXPECT_EQ(settings.controller_address, 1);
  EXPECT_EQ(settings.current_segment, 1);

  // The next start is no first start and writes nothing.
  ShellSettings again;
  EXPECT_FALSE(LoadSettings(path_, false, store, again));
  EXPECT_EQ(ReadAll(path_), kFirstStartFile);
}

TEST_F(SettingsFileTest, FirstStartWithCommandLineFileKeepsItsName) {
  ShellSettings settings;
  settings.program_file_name = "moje/Żółw.prg";
  settings.current_segment = 1;
  EXPECT_TRUE(LoadSettings(path_, true, store_, settings));
  EXPECT_EQ(settings.program_file_name, "moje/Żółw.prg");
  EXPECT_NE(ReadAll(path_).find("File=moje/\xAF\xF3\xB3w.prg\r\n"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "Prog_001.prg"));
}

// Key values in the file and what they become; every other key is as the
// first start wrote it.
TEST_F(SettingsFileTest, ReadingBoundsWhatTheRulesBound) {
  struct Case {
    const char* line;
    void (*check)(const ShellSettings&);
  };
  const Case cases[] = {
      {"Device=0",
       [](const ShellSettings& s) { EXPECT_EQ(s.controller_address, 1); }},
      {"Device=300",
       [](const ShellSettings& s) { EXPECT_EQ(s.controller_address, 255); }},
      {"Device=-4",
       [](const ShellSettings& s) { EXPECT_EQ(s.controller_address, 1); }},
      {"Device=255",
       [](const ShellSettings& s) { EXPECT_EQ(s.controller_address, 255); }},
      {"Device=x",
       [](const ShellSettings& s) { EXPECT_EQ(s.controller_address, 1); }},
      {"Program=12",
       [](const ShellSettings& s) { EXPECT_EQ(s.current_segment, 10); }},
      {"Program=0",
       [](const ShellSettings& s) { EXPECT_EQ(s.current_segment, 1); }},
      {"Program=7",
       [](const ShellSettings& s) { EXPECT_EQ(s.current_segment, 7); }},
      {"Port=300",
       [](const ShellSettings& s) { EXPECT_EQ(s.port_number, 300); }},
      {"Port=COM3",
       [](const ShellSettings& s) { EXPECT_EQ(s.port_number, 0); }},
      {"Radio=5",
       [](const ShellSettings& s) {
         EXPECT_EQ(s.radio_option, 5);
         EXPECT_TRUE(s.RadioOn());
       }},
      {"Entries=2",
       [](const ShellSettings& s) { EXPECT_EQ(s.entries_only, 2); }},
      {"Address=250",
       [](const ShellSettings& s) {
         EXPECT_EQ(s.target_radio_address, (RadioAddress{0, 0, 250}));
       }},
      {"Address=4660",
       [](const ShellSettings& s) {
         EXPECT_EQ(s.target_radio_address, (RadioAddress{1, 2, 0x34}));
       }},
      {"Address=131071",
       [](const ShellSettings& s) {
         EXPECT_EQ(s.target_radio_address, (RadioAddress{15, 15, 255}));
       }},
      {"Access=65535",
       [](const ShellSettings& s) {
         EXPECT_EQ(s.access_point_address, (RadioAddress{15, 15, 255}));
       }},
      {"Access=",
       [](const ShellSettings& s) {
         EXPECT_EQ(s.access_point_address, (RadioAddress{0, 0, 0}));
       }},
      {"File=",
       [](const ShellSettings& s) {
         EXPECT_EQ(s.program_file_name, "Prog_001.prg");
       }},
      {"File=abc.prg",
       [](const ShellSettings& s) {
         EXPECT_EQ(s.program_file_name, "abc.prg");
       }},
      {"File=\"q q.prg\"",
       [](const ShellSettings& s) {
         EXPECT_EQ(s.program_file_name, "q q.prg");
       }},
      {"File=\xA3\xF3"
       "d\x9F.prg",
       [](const ShellSettings& s) {
         EXPECT_EQ(s.program_file_name, "Łódź.prg");
       }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.line);
    std::string file = kFirstStartFile;
    const std::string key =
        std::string(test.line).substr(0, std::string(test.line).find('='));
    const std::size_t at = file.find(key + "=");
    ASSERT_NE(at, std::string::npos);
    file.replace(at, file.find("\r\n", at) - at, test.line);
    WriteAll(path_, file);
    ShellSettings settings;
    EXPECT_FALSE(LoadSettings(path_, false, store_, settings));
    test.check(settings);
  }
}

TEST_F(SettingsFileTest, MissingKeysGiveTheReadDefaults) {
  WriteAll(path_, "[Other]\r\nPort=9\r\n");
  ShellSettings settings;
  settings.port_number = 5;
  settings.program_file_name = "x.prg";
  EXPECT_FALSE(LoadSettings(path_, false, store_, settings));
  EXPECT_EQ(settings.port_number, 1);
  EXPECT_EQ(settings.controller_address, 1);
  EXPECT_EQ(settings.current_segment, 1);
  EXPECT_EQ(settings.program_file_name, "Prog_001.prg");
  EXPECT_EQ(settings.radio_option, 0);
  EXPECT_EQ(settings.entries_only, 0);
  EXPECT_EQ(settings.target_radio_address, (RadioAddress{0, 0, 0}));
  EXPECT_EQ(settings.access_point_address, (RadioAddress{0, 0, 0}));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "Prog_001.prg"));
}

TEST_F(SettingsFileTest, FileValueIsCutTo99Characters) {
  const std::string long_name(150, 'a');
  WriteAll(path_, "[Config]\r\nFile=" + long_name + "\r\n");
  ShellSettings settings;
  LoadSettings(path_, false, store_, settings);
  EXPECT_EQ(settings.program_file_name, std::string(99, 'a'));
}

TEST_F(SettingsFileTest, CommandLineFileLeavesProgramAndFileUnread) {
  WriteAll(path_, "[Config]\r\nProgram=7\r\nFile=other.prg\r\nDevice=9\r\n");
  ShellSettings settings;
  settings.program_file_name = "cmd.prg";
  settings.current_segment = 4;
  LoadSettings(path_, true, store_, settings);
  EXPECT_EQ(settings.current_segment, 1);
  EXPECT_EQ(settings.program_file_name, "cmd.prg");
  EXPECT_EQ(settings.controller_address, 9);
  // Not changed until the close writes the current values.
  EXPECT_NE(ReadAll(path_).find("File=other.prg"), std::string::npos);
}

TEST_F(SettingsFileTest, SaveBoundsTheAddressAndKeepsOtherContent) {
  WriteAll(path_,
           "[Mine]\r\nKeep=1\r\n[config]\r\ndevice=300\r\nProgram=12\r\n");
  ShellSettings settings;
  LoadSettings(path_, false, store_, settings);
  settings.controller_address = 0;  // as a page could leave it
  settings.radio_option = 1;
  settings.target_radio_address = {1, 2, 3};
  settings.program_file_name = "dir with spaces/p.prg";
  EXPECT_TRUE(SaveSettings(path_, settings));
  EXPECT_EQ(settings.controller_address, 1);
  EXPECT_EQ(ReadAll(path_),
            "[Mine]\r\nKeep=1\r\n[config]\r\ndevice=1\r\nProgram=10\r\n"
            "Port=1\r\nFile=dir with spaces/p.prg\r\nRadio=1\r\nEntries=0\r\n"
            "Address=4611\r\nAccess=0\r\n");
}

TEST_F(SettingsFileTest, FileKeyIsWrittenAlone) {
  WriteAll(path_, kFirstStartFile);
  ShellSettings settings;
  settings.program_file_name = "nowy.prg";
  settings.port_number = 42;  // not written by this
  EXPECT_TRUE(SaveProgramFileSetting(path_, settings));
  std::string expected = kFirstStartFile;
  expected.replace(expected.find("Prog_001.prg"), 12, "nowy.prg");
  EXPECT_EQ(ReadAll(path_), expected);
}

TEST_F(SettingsFileTest, SiteFileHasItsOwnSectionAndConfigStaysAsItWas) {
  WriteAll(path_, kFirstStartFile);
  ShellSettings settings;
  settings.site_file = "/srv/obiekty/hala ą.site";
  EXPECT_TRUE(SaveSiteFileSetting(path_, settings));
  const std::string with_site =
      std::string(kFirstStartFile) +
      "[Site]\r\nFile=/srv/obiekty/hala \xB9.site\r\n";
  EXPECT_EQ(ReadAll(path_), with_site);
  ShellSettings read;
  LoadSettings(path_, false, store_, read);
  EXPECT_EQ(read.site_file, settings.site_file);
  // The close writes Config's keys and leaves the site alone.
  EXPECT_TRUE(SaveSettings(path_, read));
  EXPECT_EQ(ReadAll(path_), with_site);
}

TEST_F(SettingsFileTest, FixReferencesIsOnUnlessItsOwnSectionSaysOff) {
  WriteAll(path_, kFirstStartFile);
  ShellSettings settings;
  settings.fix_references = false;
  LoadSettings(path_, false, store_, settings);
  EXPECT_TRUE(settings.fix_references);
  settings.fix_references = false;
  EXPECT_TRUE(SaveEditorSettings(path_, settings));
  EXPECT_EQ(ReadAll(path_),
            std::string(kFirstStartFile) + "[Editor]\r\nFixReferences=0\r\n");
  ShellSettings read;
  LoadSettings(path_, false, store_, read);
  EXPECT_FALSE(read.fix_references);
}

TEST_F(SettingsFileTest, LongFolderPathsWork) {
  std::filesystem::path deep = folder_;
  for (int i = 0; i < 12; ++i)
    deep /= std::string(30, static_cast<char>('a' + i));
  std::filesystem::create_directories(deep);
  const std::filesystem::path path = SettingsPathIn(deep);
  ASSERT_GT(path.string().size(), 300u);
  ShellSettings settings;
  EXPECT_TRUE(LoadSettings(path, false, store_, settings));
  EXPECT_EQ(ReadAll(path), kFirstStartFile);
  EXPECT_TRUE(std::filesystem::exists(deep / "Prog_001.prg"));
}

// A disk that fills up at any byte of the new settings file: the save
// fails and the old file stays whole, with no temporary file left beside.
TEST_F(SettingsFileTest, SaveInterruptedAtAnyByteKeepsTheOldFile) {
  const std::string old_file =
      "[Mine]\r\nKeep=1\r\n" + std::string(kFirstStartFile);
  ShellSettings settings;
  WriteAll(path_, old_file);
  LoadSettings(path_, false, store_, settings);
  settings.program_file_name = std::string(90, 'x') + ".prg";
  settings.controller_address = 77;
  // The length of what a whole save writes.
  const std::filesystem::path probe = folder_ / "probe.ini";
  WriteAll(probe, old_file);
  ASSERT_TRUE(SaveSettings(probe, settings));
  const std::size_t length = ReadAll(probe).size();
  std::filesystem::remove(probe);

  for (const std::size_t limit :
       {std::size_t{0}, std::size_t{1}, length / 2, length - 1}) {
    SCOPED_TRACE(limit);
    {
      testing::FileSizeLimit full(limit);
      EXPECT_FALSE(SaveSettings(path_, settings));
    }
    EXPECT_EQ(ReadAll(path_), old_file);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                            std::filesystem::directory_iterator()),
              1);
  }
  EXPECT_TRUE(SaveSettings(path_, settings));
  EXPECT_EQ(ReadAll(path_).size(), length);
}

}  // namespace
}  // namespace lumera
