#include "core/shell/own_work_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace lumera {
namespace {

enum class Home { kEmpty, kWithFolder, kWithFileInTheWay, kRelative, kMissing };

struct Case {
  const char* name;
  Home home;
  bool entered;
};

// Where the settings file lands depends on it: a folder that cannot be made
// must leave the start folder, never some other one.
TEST(OwnWorkFolderTest, MakesAndEntersHomeLumeraOrLeavesTheStartFolder) {
  const Case cases[] = {
      {"folder made", Home::kEmpty, true},
      {"folder kept with its files", Home::kWithFolder, true},
      {"a file named Lumera", Home::kWithFileInTheWay, false},
      {"relative home", Home::kRelative, false},
      {"home missing: made with it", Home::kMissing, true},
  };
  const std::filesystem::path start = std::filesystem::current_path();
  const std::filesystem::path root =
      std::filesystem::absolute(::testing::TempDir()) / "lumera_own_folder";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    std::filesystem::current_path(root);
    std::filesystem::path home = root / "home";
    const std::filesystem::path folder = home / "Lumera";
    if (c.home != Home::kMissing) std::filesystem::create_directories(home);
    if (c.home == Home::kWithFolder) {
      std::filesystem::create_directories(folder);
      std::ofstream(folder / "Lumera.ini") << "[Config]\r\nPort=7\r\n";
    }
    if (c.home == Home::kWithFileInTheWay) std::ofstream(folder) << "x";
    if (c.home == Home::kRelative) home = "home";

    const std::optional<std::filesystem::path> entered =
        EnterOwnWorkFolder(home);

    EXPECT_EQ(entered.has_value(), c.entered);
    if (c.entered) {
      EXPECT_EQ(std::filesystem::current_path(), folder);
      EXPECT_EQ(entered, folder);
    } else {
      EXPECT_EQ(std::filesystem::current_path(), root);
    }
    if (c.home == Home::kWithFolder) {
      EXPECT_EQ(std::filesystem::file_size(folder / "Lumera.ini"), 18u);
    }
  }
  std::filesystem::current_path(start);
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace lumera
