#include "core/shell/port_discovery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace lumera {
namespace {

std::vector<DeviceName> Names(const std::vector<std::string>& names) {
  std::vector<DeviceName> list;
  for (const std::string& name : names) list.push_back({name, ""});
  return list;
}

std::vector<int> Numbers(const PortList& list) {
  std::vector<int> numbers;
  for (const PortEntry& port : list.Entries()) numbers.push_back(port.number);
  return numbers;
}

TEST(PortDiscoveryTest, WalkTakesComNamesAndSortsByNumber) {
  struct Case {
    const char* name;
    std::vector<std::string> names;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"numeric not lexical order",
       {"COM3", "LPT1", "COM10", "AUX", "COM1"},
       {1, 3, 10}},
      {"no digit gives 0", {"COMX"}, {0}},
      {"bare COM skipped", {"COM"}, {}},
      {"prefix is case-sensitive", {"com2", "Com4", "cOM5", "COM6"}, {6}},
      {"digits up to the first non-digit", {"COM12abc", "COM7.5"}, {7, 12}},
      {"duplicates kept side by side",
       {"COM4", "COM2", "COM4", "COM2"},
       {2, 2, 4, 4}},
      {"empty name ends the list", {"COM2", "", "COM1"}, {2}},
      {"prefix must start the name", {"XCOM1", " COM2"}, {}},
      {"nothing", {}, {}},
      {"huge number saturates", {"COM99999999999"}, {2147483647}},
  };
  for (const Case& test : cases) {
    const auto names = Names(test.names);
    EXPECT_EQ(Numbers(DiscoverSerialPorts(names)), test.expected) << test.name;
  }
}

// The list as Windows returns it: each name ended by a zero, one more zero
// after the last.
TEST(PortDiscoveryTest, SplitsTheSystemsNameList) {
  using namespace std::string_view_literals;
  struct Case {
    const char* name;
    std::string_view list;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"walk of the system's list",
       "COM3\0LPT1\0COM10\0AUX\0COM1\0\0"sv,
       {1, 3, 10}},
      {"names after the closing zero are not read", "COM2\0\0COM5\0\0"sv, {2}},
      {"last zero missing: the list ends with the buffer",
       "COM4\0COM6"sv,
       {4, 6}},
      {"empty list", "\0\0"sv, {}},
      {"nothing returned", ""sv, {}},
  };
  for (const Case& test : cases) {
    const std::vector<DeviceName> names = SplitDeviceNameList(test.list);
    EXPECT_EQ(Numbers(DiscoverSerialPorts(names)), test.expected) << test.name;
  }
  const auto names = SplitDeviceNameList("COM3\0NUL\0\0"sv);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[1].name, "NUL");
  EXPECT_EQ(names[0].device, "");
}

TEST(PortDiscoveryTest, TakesOnlyTheFirst120NamesBeforeSorting) {
  std::vector<std::string> names;
  for (int n = 200; n > 0; --n) {
    names.push_back("COM" + std::to_string(n));
    names.push_back("LPT" + std::to_string(n));  // not counted
  }
  const auto list = DiscoverSerialPorts(Names(names));
  ASSERT_EQ(list.count, kMaxPorts);
  // The first 120 in the given order are 200 down to 81.
  EXPECT_EQ(list.Entries().front().number, 81);
  EXPECT_EQ(list.Entries().back().number, 200);
  for (int i = 1; i < list.count; ++i) {
    EXPECT_LT(list.ports[i - 1].number, list.ports[i].number);
  }
}

TEST(PortDiscoveryTest, DevicesTravelWithTheirNumbers) {
  const std::vector<DeviceName> names = {
      {"COM34", "/dev/ttyUSB1"}, {"COM1", "/dev/ttyS0"}, {"COM7", ""}};
  const auto list = DiscoverSerialPorts(names);
  ASSERT_EQ(list.count, 3);
  EXPECT_EQ(list.ports[0], (PortEntry{1, "/dev/ttyS0"}));
  EXPECT_EQ(list.ports[1], (PortEntry{7, ""}));
  EXPECT_EQ(list.ports[2], (PortEntry{34, "/dev/ttyUSB1"}));
}

TEST(PortDiscoveryTest, FillPortListTextsAndSelection) {
  struct Case {
    const char* name;
    std::vector<DeviceName> names;
    int current;
    std::vector<std::string> entries;
    std::optional<int> selected;
  };
  const Case cases[] = {
      {"current found",
       {{"COM1", ""}, {"COM3", ""}, {"COM10", ""}},
       3,
       {"COM1", "COM3", "COM10"},
       1},
      {"current missing",
       {{"COM1", ""}, {"COM3", ""}, {"COM10", ""}},
       5,
       {"COM1", "COM3", "COM10"},
       std::nullopt},
      {"later duplicate wins",
       {{"COM2", "/a"}, {"COM2", "/b"}, {"COM1", ""}},
       2,
       {"COM1", "COM2 (/a)", "COM2 (/b)"},
       2},
      {"device after the name",
       {{"COM33", "/dev/ttyUSB0"}},
       1,
       {"COM33 (/dev/ttyUSB0)"},
       std::nullopt},
      {"no ports", {}, 1, {}, std::nullopt},
  };
  for (const Case& test : cases) {
    const PortChoices choices =
        FillPortList(DiscoverSerialPorts(test.names), test.current);
    EXPECT_EQ(choices.entries, test.entries) << test.name;
    EXPECT_EQ(choices.selected, test.selected) << test.name;
  }
}

}  // namespace
}  // namespace lumera

namespace lumera {
namespace {

// The device namespace of a fake system: /dev entries, the kernel's UART
// types and the user's ports folder.
TEST(PortDiscoveryTest, SystemNamesFeedTheWalk) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(testing::TempDir()) / "lumera_port_roots";
  fs::remove_all(root);
  PortRoots roots;
  roots.dev_folder = root / "dev";
  roots.sys_tty_folder = root / "sys";
  roots.ports_folder = root / "ports";
  for (const fs::path& folder :
       {roots.dev_folder, roots.sys_tty_folder / "ttyS0",
        roots.sys_tty_folder / "ttyS1", roots.ports_folder}) {
    fs::create_directories(folder);
  }
  for (const char* name :
       {"ttyS0", "ttyS1", "ttyUSB0", "ttyUSB1", "ttyACM2", "lp0", "ttyUSBx"}) {
    std::ofstream(roots.dev_folder / name) << "";
  }
  std::ofstream(roots.sys_tty_folder / "ttyS0" / "type") << "4\n";
  std::ofstream(roots.sys_tty_folder / "ttyS1" / "type") << "0\n";
  fs::create_symlink("/dev/serial/by-id/usb-test", roots.ports_folder / "COM5");
  fs::create_symlink("/dev/pts/7", roots.ports_folder / "COM34");
  fs::create_symlink("/dev/pts/8", roots.ports_folder / "com6");

  const PortChoices choices =
      FillPortList(DiscoverSerialPorts(SystemDeviceNames(roots)), 34);
  const std::string dev = roots.dev_folder.string();
  EXPECT_EQ(choices.entries,
            (std::vector<std::string>{
                "COM1 (" + dev + "/ttyS0)", "COM5 (/dev/serial/by-id/usb-test)",
                "COM33 (" + dev + "/ttyUSB0)", "COM34 (/dev/pts/7)",
                "COM67 (" + dev + "/ttyACM2)"}));
  EXPECT_EQ(choices.selected, 3);
  fs::remove_all(root);
}

}  // namespace
}  // namespace lumera
