#ifndef _WIN32

#include "core/link/port_names.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/link/serial_port.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;

// The system's names and the ports folder take "COM" in upper case only; a
// name typed by a user takes it in any case, as Windows does.
TEST(ParseComName, TakesOnlyUpperCaseComAndDigits) {
  const struct {
    const char* name;
    std::optional<int> number;
    std::optional<int> typed;
  } cases[] = {
      {"COM1", 1, 1},
      {"COM10", 10, 10},
      {"COM200", 200, 200},
      {"COM0", 0, 0},
      {"COM", std::nullopt, std::nullopt},
      {"com2", std::nullopt, 2},
      {"Com202", std::nullopt, 202},
      {"cOm5", std::nullopt, 5},
      {"COMX", std::nullopt, std::nullopt},
      {"COM3x", std::nullopt, std::nullopt},
      {"COM 3", std::nullopt, std::nullopt},
      {"xCOM3", std::nullopt, std::nullopt},
      {"con3", std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},
      {"COM99999999999", std::nullopt, std::nullopt},  // no overflow
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseComName(c.name), c.number) << c.name;
    EXPECT_EQ(ParseTypedComName(c.name), c.typed) << c.name;
  }
  EXPECT_EQ(ComPortName(12), "COM12");
}

// A fake /dev, /sys/class/tty and ports folder in a temporary folder.
class PortFolders : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lumera-names-XXXXXX";
    root_ = ::mkdtemp(pattern);
    roots_ = {root_ / "ports", root_ / "dev", root_ / "sys"};
    for (const fs::path& p :
         {roots_.ports_folder, roots_.dev_folder, roots_.sys_tty_folder}) {
      fs::create_directories(p);
    }
    // ttyS0 is a UART, ttyS1 a placeholder the driver reports as unknown,
    // ttyS2 has no type at all (and, being a plain file, no driver).
    for (const char* name :
         {"ttyS0", "ttyS1", "ttyS2", "ttyUSB0", "ttyUSB3", "ttyACM0",
          "ttyACM12", "ttyS", "ttyUSBa", "ttyXYZ1", "tty0", "null"}) {
      std::ofstream(roots_.dev_folder / name);
    }
    SetType("ttyS0", 4);
    SetType("ttyS1", 0);
    Link("COM36", "/dev/serial/by-id/usb-adapter");  // overrides ttyUSB3
    Link("COM5", root_ / "sim-pty");
    Link("com6", "/dev/null");
    Link("COM", "/dev/null");
    Link("COM7.bak", "/dev/null");
  }
  void TearDown() override { fs::remove_all(root_); }

  void SetType(const char* tty, int type) {
    fs::create_directories(roots_.sys_tty_folder / tty);
    std::ofstream(roots_.sys_tty_folder / tty / "type") << type << "\n";
  }
  void Link(const char* name, const fs::path& target) {
    fs::create_symlink(target, roots_.ports_folder / name);
  }
  std::string Dev(const char* name) const {
    return (roots_.dev_folder / name).string();
  }
  std::string Folder(const char* name) const {
    return (roots_.ports_folder / name).string();
  }

  fs::path root_;
  PortRoots roots_;
};

TEST_F(PortFolders, ListsDevicesByRuleAndFolderEntriesFirst) {
  const std::vector<PortEntry> expected = {
      {1, Dev("ttyS0")},     {5, Folder("COM5")},  {33, Dev("ttyUSB0")},
      {36, Folder("COM36")}, {65, Dev("ttyACM0")}, {77, Dev("ttyACM12")},
  };
  EXPECT_EQ(ListSerialPorts(roots_), expected);
}

TEST_F(PortFolders, ResolvesComNamesAndPaths) {
  const struct {
    std::string name;
    std::optional<std::string> device;
  } cases[] = {
      {"COM1", Dev("ttyS0")},
      {"COM2", std::nullopt},  // ttyS1 is no UART
      {"COM3", std::nullopt},  // ttyS2 cannot be told apart from one
      {"COM33", Dev("ttyUSB0")},
      {"COM36", Folder("COM36")},
      {"COM5", Folder("COM5")},  // a dangling link still names the port
      {"COM65", Dev("ttyACM0")},
      {"COM77", Dev("ttyACM12")},
      {"COM34", std::nullopt},
      {"COM99", std::nullopt},
      {"com1", Dev("ttyS0")},  // typed in any case
      {"Com5", Folder("COM5")},
      {Dev("ttyUSB3"), Dev("ttyUSB3")},  // a path is taken as it is
      {Dev("ttyUSB9"), std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolvePortName(c.name, roots_), c.device) << c.name;
  }
}

TEST_F(PortFolders, RegularFilesHoldingAnAddressMapToTheNetwork) {
  std::ofstream(roots_.ports_folder / "COM40") << "tcp:10.0.0.5:4001\n";
  std::ofstream(roots_.ports_folder / "COM41") << " rfc2217:[::1]:2217 \r\n";
  std::ofstream(roots_.ports_folder / "COM42") << "not an address\n";
  std::ofstream(root_ / "address") << "tcp:10.0.0.6:4001\n";
  Link("COM43", root_ / "address");  // a link names a device, whatever it is
  const struct {
    std::string name;
    std::optional<std::string> target;
  } cases[] = {
      {"COM40", "tcp:10.0.0.5:4001"},
      {"COM41", "rfc2217:[::1]:2217"},
      {"COM42", Folder("COM42")},
      {"COM43", Folder("COM43")},
      {"tcp:127.0.0.1:9", "tcp:127.0.0.1:9"},  // an address as it is
      {"tcp:127.0.0.1", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolvePortName(c.name, roots_), c.target) << c.name;
  }
  const std::vector<PortEntry> ports = ListSerialPorts(roots_);
  const auto com40 =
      std::find_if(ports.begin(), ports.end(),
                   [](const PortEntry& p) { return p.number == 40; });
  ASSERT_NE(com40, ports.end());
  EXPECT_EQ(com40->device, "tcp:10.0.0.5:4001");
}

TEST_F(PortFolders, MissingFoldersGiveNoPorts) {
  const PortRoots nowhere{root_ / "none", root_ / "none", root_ / "none"};
  EXPECT_TRUE(ListSerialPorts(nowhere).empty());
  EXPECT_EQ(ResolvePortName("COM1", nowhere), std::nullopt);
  // Without a ports folder the device rules still apply.
  PortRoots no_folder = roots_;
  no_folder.ports_folder.clear();
  EXPECT_EQ(ResolvePortName("COM36", no_folder), Dev("ttyUSB3"));
}

TEST(DefaultPortRoots, FollowsXdgConfigHomeThenHome) {
  const char* saved_xdg = std::getenv("XDG_CONFIG_HOME");
  const char* saved_home = std::getenv("HOME");
  const std::string xdg = saved_xdg ? saved_xdg : "";
  const std::string home = saved_home ? saved_home : "";
  const struct {
    const char* xdg;
    const char* home;
    const char* folder;
  } cases[] = {
      {"/cfg", "/home/u", "/cfg/lumera/ports"},
      {nullptr, "/home/u", "/home/u/.config/lumera/ports"},
      {"", "/home/u", "/home/u/.config/lumera/ports"},
      {"relative", "/home/u", "/home/u/.config/lumera/ports"},
      {nullptr, nullptr, ""},
  };
  for (const auto& c : cases) {
    if (c.xdg)
      ::setenv("XDG_CONFIG_HOME", c.xdg, 1);
    else
      ::unsetenv("XDG_CONFIG_HOME");
    if (c.home)
      ::setenv("HOME", c.home, 1);
    else
      ::unsetenv("HOME");
    const PortRoots roots = DefaultPortRoots();
    EXPECT_EQ(roots.ports_folder.string(), c.folder);
    EXPECT_EQ(roots.dev_folder, "/dev");
  }
  if (saved_xdg)
    ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
  else
    ::unsetenv("XDG_CONFIG_HOME");
  if (saved_home)
    ::setenv("HOME", home.c_str(), 1);
  else
    ::unsetenv("HOME");
}

}  // namespace
}  // namespace lumera

#endif  // _WIN32
