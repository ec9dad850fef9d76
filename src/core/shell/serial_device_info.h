// What stands behind a serial device, as the kernel's sysfs tells it: the
// driver, the USB adapter (vendor:product, serial number, names) and, for an
// FTDI adapter, its latency timer. A technician reads it to know why a line
// is slow. The sysfs folders are parameters so a test can give a fake tree.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace lumera {

enum class SerialDeviceKind {
  kPseudoTerminal,  // /dev/pts/<n>: a program, no adapter behind it
  kUsb,             // a USB adapter
  kOther,           // a device in sysfs without a USB parent (a UART)
  kUnknown,         // not in sysfs at all
};

struct SerialDeviceInfo {
  SerialDeviceKind kind = SerialDeviceKind::kUnknown;
  std::string device;     // the device file, links followed
  std::string name;       // its name in sysfs, e.g. "ttyUSB0"
  std::string driver;     // e.g. "ftdi_sio"; empty when sysfs does not say
  std::string vendor_id;  // USB only, four hex digits as sysfs gives them
  std::string product_id;
  std::string serial;  // empty when the adapter has none
  std::string manufacturer;
  std::string product;
  std::optional<int> latency_timer_ms;  // FTDI adapters only
};

// Describes `device` (a path; symbolic links, such as a ports folder entry
// or /dev/serial/by-id, are followed) from `sys_tty_folder`, normally
// /sys/class/tty.
SerialDeviceInfo DescribeSerialDevice(
    const std::filesystem::path& device,
    const std::filesystem::path& sys_tty_folder);

// Where the kernel lets a user set the latency timer of `name`.
std::string LatencyTimerPath(const std::string& name);

// The first of `folders` that holds the udev rule installed with Lumera.
std::optional<std::filesystem::path> FindUdevRule(
    std::span<const std::filesystem::path> folders);

inline constexpr const char* kUdevRuleName = "60-lumera-serial.rules";

}  // namespace lumera
