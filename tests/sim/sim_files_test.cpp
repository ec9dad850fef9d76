#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim/com_link.h"
#include "sim/state_file.h"
#include "sim/temp_dir.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;

void WriteBytes(const fs::path& path, std::size_t size, char value) {
  std::ofstream(path, std::ios::binary) << std::string(size, value);
}

TEST(StateFileTest, SavedImageLoadsBackAndLeavesNoTemporaryFile) {
  TempDir dir;
  const fs::path file = dir.Path() / "controller.prg";
  WriteBytes(file, kImageSize, 'x');  // an older state to replace
  ProgramImage image{};
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<std::uint8_t>(i * 7);
  }
  ASSERT_TRUE(SaveStateImage(file, image));
  ProgramImage loaded{};
  ASSERT_EQ(LoadStateImage(file, loaded), StateLoad::kLoaded);
  EXPECT_EQ(loaded, image);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()),
                          fs::directory_iterator()),
            1);
}

struct LoadCase {
  const char* name;
  std::size_t size;  // bytes written; 0 = no file at all
  StateLoad expected;
};

class StateLoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(StateLoadTest, OnlyAWholeImageIsTaken) {
  const LoadCase& c = GetParam();
  TempDir dir;
  const fs::path file = dir.Path() / "state.prg";
  if (c.size > 0) WriteBytes(file, c.size, '\x01');
  ProgramImage image{};
  image.fill(0xAB);
  EXPECT_EQ(LoadStateImage(file, image), c.expected);
  if (c.expected != StateLoad::kLoaded) {
    EXPECT_EQ(image[0], 0xAB) << "a refused file must not change the image";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, StateLoadTest,
    testing::Values(LoadCase{"Missing", 0, StateLoad::kMissing},
                    LoadCase{"Exact", kImageSize, StateLoad::kLoaded},
                    LoadCase{"OneShort", kImageSize - 1, StateLoad::kFailed},
                    LoadCase{"OneLong", kImageSize + 1, StateLoad::kFailed},
                    LoadCase{"Tiny", 3, StateLoad::kFailed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StateFileTest, SaveIntoMissingFolderFailsWithoutPartialFile) {
  TempDir dir;
  ProgramImage image{};
  EXPECT_FALSE(SaveStateImage(dir.Path() / "no" / "such.prg", image));
}

TEST(ComLinkTest, TakesTheFirstFreeNumberFromTwoHundred) {
  TempDir dir;
  const fs::path ports = dir.Path() / "lumera" / "ports";
  const fs::path live = dir.Path() / "device";
  WriteBytes(live, 1, 'd');
  fs::create_directories(ports);
  fs::create_symlink(live, ports / "COM200");
  fs::create_symlink(dir.Path() / "gone", ports / "COM201");  // left behind

  EXPECT_EQ(RegisterComLink(ports, live.string(), std::nullopt), 201);
  EXPECT_EQ(fs::read_symlink(ports / "COM201"), live);
  EXPECT_EQ(fs::read_symlink(ports / "COM200"), live) << "live name kept";
  EXPECT_EQ(RegisterComLink(ports, live.string(), std::nullopt), 202);
}

TEST(ComLinkTest, AskedNumberIsTakenOnlyWhenFree) {
  TempDir dir;
  const fs::path ports = dir.Path() / "ports";  // created on demand
  const fs::path live = dir.Path() / "device";
  WriteBytes(live, 1, 'd');
  EXPECT_EQ(RegisterComLink(ports, live.string(), 7), 7);
  EXPECT_EQ(RegisterComLink(ports, "/dev/pts/9", 7), std::nullopt);
  EXPECT_EQ(fs::read_symlink(ports / "COM7"), live);
  EXPECT_EQ(RegisterComLink(ports, "/dev/pts/9", 0), std::nullopt);
}

TEST(ComLinkTest, RemovesOnlyItsOwnLink) {
  TempDir dir;
  const fs::path ports = dir.Path();
  fs::create_symlink("/dev/pts/50", ports / "COM210");
  RemoveComLink(ports, 210, "/dev/pts/51");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(ports / "COM210")));
  RemoveComLink(ports, 210, "/dev/pts/50");
  EXPECT_FALSE(fs::exists(fs::symlink_status(ports / "COM210")));
}

}  // namespace
}  // namespace lumera
