#include "core/shell/serial_device_info.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace lumera {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << text << "\n";
}

// A sysfs of an FTDI adapter, an Arduino-like ACM device without a serial
// number, a UART of the board, and the /dev files that name them.
class FakeSys {
 public:
  FakeSys() {
    std::string pattern =
        (fs::temp_directory_path() / "lumera-sys-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    const fs::path usb = root_ / "sys/devices/pci0/usb1";
    Write(usb / "1-1/idVendor", "0403");
    Write(usb / "1-1/idProduct", "6001");
    Write(usb / "1-1/serial", "A10K1234");
    Write(usb / "1-1/manufacturer", "FTDI");
    Write(usb / "1-1/product", "FT232R USB UART");
    Write(usb / "1-1/1-1:1.0/ttyUSB0/latency_timer", "16");
    Driver(usb / "1-1/1-1:1.0/ttyUSB0", "usb-serial", "ftdi_sio");
    Tty("ttyUSB0", usb / "1-1/1-1:1.0/ttyUSB0");
    Write(usb / "1-2/idVendor", "2341");
    Write(usb / "1-2/idProduct", "0043");
    Driver(usb / "1-2/1-2:1.0", "usb", "cdc_acm");
    Tty("ttyACM0", usb / "1-2/1-2:1.0");
    const fs::path uart = root_ / "sys/devices/platform/serial8250";
    Driver(uart, "platform", "serial8250");
    Tty("ttyS0", uart);
    for (const char* name : {"ttyUSB0", "ttyACM0", "ttyS0", "ttyX9", "pts/7"}) {
      Write(root_ / "dev" / name, "");
    }
    fs::create_directories(root_ / "ports");
    fs::create_symlink(root_ / "dev/ttyUSB0", root_ / "ports/COM5");
  }
  ~FakeSys() {
    std::error_code error;
    fs::remove_all(root_, error);
  }
  const fs::path& root() const { return root_; }
  fs::path tty_folder() const { return root_ / "sys/class/tty"; }

 private:
  void Driver(const fs::path& device, const std::string& bus,
              const std::string& name) {
    const fs::path driver = root_ / "sys/bus" / bus / "drivers" / name;
    fs::create_directories(driver);
    fs::create_directories(device);
    fs::create_symlink(driver, device / "driver");
  }
  void Tty(const std::string& name, const fs::path& device) {
    fs::create_directories(tty_folder() / name);
    fs::create_symlink(device, tty_folder() / name / "device");
  }
  fs::path root_;
};

struct DeviceCase {
  std::string name;
  std::string device;  // below the fake root
  SerialDeviceKind kind;
  std::string driver;
  std::string ids;  // vendor:product
  std::string serial;
  std::optional<int> latency;
};

class SerialDeviceInfoTest : public ::testing::TestWithParam<DeviceCase> {};

// A wrong answer sends the technician after the wrong adapter or setting.
TEST_P(SerialDeviceInfoTest, DescribesWhatStandsBehindTheDevice) {
  const DeviceCase& c = GetParam();
  FakeSys sys;
  const SerialDeviceInfo info =
      DescribeSerialDevice(sys.root() / c.device, sys.tty_folder());
  EXPECT_EQ(info.kind, c.kind);
  EXPECT_EQ(info.driver, c.driver);
  EXPECT_EQ(info.vendor_id + ":" + info.product_id, c.ids);
  EXPECT_EQ(info.serial, c.serial);
  EXPECT_EQ(info.latency_timer_ms, c.latency);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, SerialDeviceInfoTest,
    ::testing::Values(
        // Through a ports folder link, as COM<n> names reach it.
        DeviceCase{"FtdiThroughPortsLink", "ports/COM5", SerialDeviceKind::kUsb,
                   "ftdi_sio", "0403:6001", "A10K1234", 16},
        DeviceCase{"AcmWithoutSerial", "dev/ttyACM0", SerialDeviceKind::kUsb,
                   "cdc_acm", "2341:0043", "", std::nullopt},
        DeviceCase{"BoardUart", "dev/ttyS0", SerialDeviceKind::kOther,
                   "serial8250", ":", "", std::nullopt},
        DeviceCase{"PseudoTerminal", "dev/pts/7",
                   SerialDeviceKind::kPseudoTerminal, "", ":", "",
                   std::nullopt},
        DeviceCase{"NotInSysfs", "dev/ttyX9", SerialDeviceKind::kUnknown, "",
                   ":", "", std::nullopt}),
    [](const auto& info) { return info.param.name; });

TEST(SerialDeviceInfoTest, FindsTheUdevRuleInTheFirstFolderHoldingIt) {
  FakeSys sys;
  Write(sys.root() / "usr/lib/udev/rules.d" / kUdevRuleName, "");
  const std::vector<fs::path> folders{sys.root() / "etc/udev/rules.d",
                                      sys.root() / "usr/lib/udev/rules.d"};
  EXPECT_EQ(FindUdevRule(folders),
            sys.root() / "usr/lib/udev/rules.d" / kUdevRuleName);
  EXPECT_EQ(FindUdevRule(std::span(folders).first(1)), std::nullopt);
}

}  // namespace
}  // namespace lumera
