#include "core/shell/serial_device_info.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/fake_sysfs.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;
using testing_sysfs::FakeSys;

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

}  // namespace
}  // namespace lumera
