#include "core/shell/serial_device_info.h"

#include <fstream>
#include <system_error>

namespace lumera {
namespace {

namespace fs = std::filesystem;

// The first line of a sysfs attribute, or empty.
std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in.is_open() || !std::getline(in, line)) return {};
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
    line.pop_back();
  }
  return line;
}

}  // namespace

SerialDeviceInfo DescribeSerialDevice(const fs::path& device,
                                      const fs::path& sys_tty_folder) {
  SerialDeviceInfo info;
  std::error_code error;
  fs::path resolved = fs::canonical(device, error);
  if (error) resolved = device;
  info.device = resolved.string();
  info.name = resolved.filename().string();
  if (resolved.parent_path().filename() == "pts") {
    info.kind = SerialDeviceKind::kPseudoTerminal;
    return info;
  }
  const fs::path entry = sys_tty_folder / info.name / "device";
  const fs::path port = fs::canonical(entry, error);
  if (error) return info;
  info.kind = SerialDeviceKind::kOther;
  const fs::path driver = fs::read_symlink(entry / "driver", error);
  if (!error) info.driver = driver.filename().string();
  const std::string latency = ReadAttribute(port / "latency_timer");
  if (!latency.empty() &&
      latency.find_first_not_of("0123456789") == std::string::npos &&
      latency.size() < 6) {
    info.latency_timer_ms = std::stoi(latency);
  }
  // The USB device is the nearest folder above the port with the ids;
  // every device sits below sysfs's devices folder.
  for (fs::path folder = port;
       folder.has_relative_path() && folder.filename() != "devices";
       folder = folder.parent_path()) {
    if (!fs::exists(folder / "idVendor", error)) continue;
    info.kind = SerialDeviceKind::kUsb;
    info.vendor_id = ReadAttribute(folder / "idVendor");
    info.product_id = ReadAttribute(folder / "idProduct");
    info.serial = ReadAttribute(folder / "serial");
    info.manufacturer = ReadAttribute(folder / "manufacturer");
    info.product = ReadAttribute(folder / "product");
    break;
  }
  return info;
}

std::string LatencyTimerPath(const std::string& name) {
  return "/sys/bus/usb-serial/devices/" + name + "/latency_timer";
}

std::optional<fs::path> FindUdevRule(std::span<const fs::path> folders) {
  for (const fs::path& folder : folders) {
    std::error_code error;
    if (fs::is_regular_file(folder / kUdevRuleName, error)) {
      return folder / kUdevRuleName;
    }
  }
  return std::nullopt;
}

}  // namespace lumera
