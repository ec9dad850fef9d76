#include "core/shell/profile_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace lumera {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ProfileFileTest, IntegerReading) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"0", 0},        {"42", 42},
      {"102abc", 102}, {"abc", 0},
      {"  7", 7},      {"\t7", 7},
      {"+15", 15},     {"-5", 0},
      {"-0", 0},       {"0x1F", 31},
      {"0XfF", 255},   {"0x", 0},
      {"12 34", 12},   {"65520", 65520},
      {"1e3", 1},      {"99999999999999999999", INT_MAX},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(ParseProfileInt(test.text), test.expected) << test.text;
  }
}

TEST(ProfileFileTest, LookupIgnoresCaseAndTrimsAndUnquotes) {
  const ProfileFile file = ProfileFile::FromBytes(
      "; comment\r\n"
      "Port=9\r\n"  // before any section: belongs to none
      "[Other]\r\n"
      "Port=8\r\n"
      "  [ config ]  \r\n"
      "  PORT  =  3  \r\n"
      "Port=4\r\n"
      ";Device=7\r\n"
      "Name=\"a b\"\r\n"
      "Single='x'\r\n"
      "Odd=\"y'\r\n"
      "Empty=\r\n"
      "Eq=a=b\n"
      "[Config]\r\n"
      "Late=1\r\n");
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"Config", "Port", "3"},
      {"CONFIG", "port", "3"},
      {"other", "PORT", "8"},
      {"Config", "Device", std::nullopt},
      {"Config", "Name", "a b"},
      {"Config", "Single", "x"},
      {"Config", "Odd", "\"y'"},
      {"Config", "Empty", ""},
      {"Config", "Eq", "a=b"},
      {"Config", "Late", std::nullopt},
      {"Missing", "Port", std::nullopt},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(file.Find(test.section, test.key), test.expected)
        << test.section << "/" << test.key;
  }
}

TEST(ProfileFileTest, IntAndStringDefaultsAndBufferCut) {
  const ProfileFile file = ProfileFile::FromBytes(
      "[Config]\r\nEmpty=\r\nText=abcdef\r\nNum=12x\r\nBad=x\r\n");
  EXPECT_EQ(file.ReadInt("Config", "Missing", 5), 5);
  EXPECT_EQ(file.ReadInt("Config", "Empty", 5), 5);
  EXPECT_EQ(file.ReadInt("Config", "Num", 5), 12);
  EXPECT_EQ(file.ReadInt("Config", "Bad", 5), 0);
  EXPECT_EQ(file.ReadString("Config", "Text", "d", 100), "abcdef");
  EXPECT_EQ(file.ReadString("Config", "Text", "d", 4), "abc");
  EXPECT_EQ(file.ReadString("Config", "Text", "d", 1), "");
  EXPECT_EQ(file.ReadString("Config", "Missing", "default", 4), "def");
  EXPECT_EQ(file.ReadString("Config", "Empty", "default", 100), "");
}

// Each write starts from the same file; the expected bytes show that only
// the written key changes and everything else stays byte for byte.
TEST(ProfileFileTest, WritesEditOnlyWhatTheyMust) {
  const std::string base =
      "; keep me\r\n"
      "[Config]\r\n"
      "Port=1\r\n"
      "  device = 2 \r\n"
      "\r\n"
      "[Other]\n"
      "Key=v\n";
  struct Case {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
    std::string expected;
  };
  const Case cases[] = {
      {"replace in place, keeping the file's spelling of the key", "config",
       "DEVICE", "255",
       "; keep me\r\n[Config]\r\nPort=1\r\ndevice=255\r\n\r\n[Other]\nKey=v\n"},
      {"new key after the section's last non-blank line", "Config", "File",
       "a.prg",
       "; keep me\r\n[Config]\r\nPort=1\r\n  device = 2 \r\nFile=a.prg\r\n"
       "\r\n[Other]\nKey=v\n"},
      {"new key in the last section", "OTHER", "New", "1",
       "; keep me\r\n[Config]\r\nPort=1\r\n  device = 2 \r\n\r\n[Other]\n"
       "Key=v\nNew=1\r\n"},
      {"new section at the end", "Fresh", "A", "b",
       "; keep me\r\n[Config]\r\nPort=1\r\n  device = 2 \r\n\r\n[Other]\n"
       "Key=v\n[Fresh]\r\nA=b\r\n"},
      {"empty value", "Config", "Port", "",
       "; keep me\r\n[Config]\r\nPort=\r\n  device = 2 \r\n\r\n[Other]\n"
       "Key=v\n"},
  };
  for (const Case& test : cases) {
    ProfileFile file = ProfileFile::FromBytes(base);
    ASSERT_TRUE(file.Write(test.section, test.key, test.value)) << test.name;
    EXPECT_EQ(file.Bytes(), test.expected) << test.name;
  }
}

TEST(ProfileFileTest, WritesCompleteAnUnterminatedLastLine) {
  struct Case {
    std::string before;
    const char* section;
    std::string expected;
  };
  const Case cases[] = {
      {"[Config]\r\nPort=1", "Config", "[Config]\r\nPort=1\r\nNew=x\r\n"},
      {"[A]\r\nK=1", "Config", "[A]\r\nK=1\r\n[Config]\r\nNew=x\r\n"},
      {"", "Config", "[Config]\r\nNew=x\r\n"},
  };
  for (const Case& test : cases) {
    ProfileFile file = ProfileFile::FromBytes(test.before);
    ASSERT_TRUE(file.Write(test.section, "New", "x"));
    EXPECT_EQ(file.Bytes(), test.expected) << test.before;
  }
}

TEST(ProfileFileTest, RefusesWritesThatWouldBreakTheFile) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"Config", "File", "a\r\nPort=9"},
      {"Config", "File", "a\nb"},
      {"Config", "A=B", "1"},
      {"Con]fig", "File", "1"},
      {"Config", "", "1"},
      {"Config", "File", "ĉ"},  // not in cp1250
  };
  for (const Case& test : cases) {
    ProfileFile file = ProfileFile::FromBytes("[Config]\r\nFile=old\r\n");
    EXPECT_FALSE(file.Write(test.section, test.key, test.value)) << test.value;
    EXPECT_EQ(file.Bytes(), "[Config]\r\nFile=old\r\n");
  }
}

TEST(ProfileFileTest, TextIsCodePage1250InTheFile) {
  ProfileFile file;
  ASSERT_TRUE(file.Write("Config", "File", "Żółć.prg"));
  EXPECT_EQ(file.Bytes(), "[Config]\r\nFile=\xAF\xF3\xB3\xE6.prg\r\n");
  const ProfileFile read = ProfileFile::FromBytes(file.Bytes());
  EXPECT_EQ(read.Find("Config", "File"), "Żółć.prg");
  // The buffer cut counts code page characters, not UTF-8 bytes.
  EXPECT_EQ(read.ReadString("Config", "File", "", 3), "Żó");
}

TEST(ProfileFileTest, FileHelpersCreateReplaceAndKeepUnreadableFiles) {
  const std::filesystem::path folder =
      std::filesystem::path(testing::TempDir()) / "lumera_profile_helpers";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::filesystem::path path = folder / "t.ini";

  EXPECT_EQ(GetProfileInt(path, "Config", "Port", 7), 7);
  EXPECT_EQ(GetProfileString(path, "Config", "File", "x", 100), "x");
  ASSERT_TRUE(WriteProfileString(path, "Config", "Port", "3"));
  ASSERT_TRUE(WriteProfileString(path, "Config", "File", "a.prg"));
  ASSERT_TRUE(WriteProfileString(path, "config", "port", "4"));
  EXPECT_EQ(ReadAll(path), "[Config]\r\nPort=4\r\nFile=a.prg\r\n");
  EXPECT_EQ(GetProfileInt(path, "CONFIG", "PORT", 7), 4);

  // A folder in the file's place cannot be read or replaced.
  const std::filesystem::path blocked = folder / "dir.ini";
  std::filesystem::create_directories(blocked);
  EXPECT_FALSE(WriteProfileString(blocked, "Config", "Port", "1"));
  EXPECT_TRUE(std::filesystem::is_directory(blocked));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace lumera
