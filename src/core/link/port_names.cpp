#include "core/link/port_names.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <system_error>

#include "core/link/network_address.h"

#if defined(__linux__)
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace lumera {
namespace fs = std::filesystem;
namespace {

// The decimal number that makes up all of `text`, if it is one.
std::optional<int> WholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Whether ttyS<k> is a UART that exists. Every 8250 driver registers a
// fixed set of ttyS nodes whether or not the hardware is there; those that
// are not report the type PORT_UNKNOWN (0).
bool IsRealUart(const PortRoots& roots, const std::string& name) {
  std::ifstream type_file(roots.sys_tty_folder / name / "type");
  int type = 0;
  if (type_file >> type) return type != 0;
#if defined(__linux__)
  // Older kernels have no "type" attribute: ask the driver.
  const std::string device = (roots.dev_folder / name).string();
  const int fd =
      ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  serial_struct info{};
  const bool known =
      ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
  ::close(fd);
  return known;
#else
  return false;
#endif
}

struct DeviceRule {
  std::string_view prefix;
  int base;
  bool uart_only;
};
// In order of precedence, should two rules ever give the same number.
constexpr DeviceRule kDeviceRules[] = {
    {"ttyS", 1, true},
    {"ttyUSB", kUsbPortBase, false},
    {"ttyACM", kAcmPortBase, false},
};

// ttyS<k>, ttyUSB<k>, ttyACM<k> devices of `roots.dev_folder`.
void AddDeviceRules(const PortRoots& roots, std::map<int, std::string>& ports) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(roots.dev_folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    names.push_back(it->path().filename().string());
  }
  for (const DeviceRule& rule : kDeviceRules) {
    for (const std::string& name : names) {
      if (name.compare(0, rule.prefix.size(), rule.prefix) != 0) continue;
      const std::optional<int> k =
          WholeNumber(std::string_view(name).substr(rule.prefix.size()));
      if (!k || ports.contains(*k + rule.base)) continue;
      if (rule.uart_only && !IsRealUart(roots, name)) continue;
      ports.emplace(*k + rule.base, (roots.dev_folder / name).string());
    }
  }
}

// The device the rules give COM<number>, if it exists.
std::optional<std::string> DeviceForNumber(const PortRoots& roots, int number) {
  for (const DeviceRule& rule : kDeviceRules) {
    if (number < rule.base) continue;
    const std::string name =
        std::string(rule.prefix) + std::to_string(number - rule.base);
    const fs::path device = roots.dev_folder / name;
    std::error_code ec;
    if (!fs::exists(device, ec)) continue;
    if (rule.uart_only && !IsRealUart(roots, name)) continue;
    return device.string();
  }
  return std::nullopt;
}

// The network address a regular file of the ports folder holds on its first
// line, if it holds one.
std::optional<std::string> AddressInFile(const fs::directory_entry& entry) {
  std::error_code ec;
  if (entry.is_symlink(ec) || !entry.is_regular_file(ec)) return std::nullopt;
  std::ifstream file(entry.path());
  std::string line;
  if (!std::getline(file, line)) return std::nullopt;
  const std::size_t end = line.find_last_not_of(" \t\r");
  const std::size_t begin = line.find_first_not_of(" \t");
  if (end == std::string::npos) return std::nullopt;
  const std::string text = line.substr(begin, end + 1 - begin);
  if (!ParseNetworkAddress(text)) return std::nullopt;
  return text;
}

// COM<n> entries of the ports folder; they replace the device rules.
void AddFolderEntries(const PortRoots& roots,
                      std::map<int, std::string>& ports) {
  if (roots.ports_folder.empty()) return;
  std::error_code ec;
  fs::directory_iterator it(roots.ports_folder, ec);
  if (ec) return;
  for (const fs::directory_entry& entry : it) {
    const std::optional<int> n = ParseComName(entry.path().filename().string());
    if (!n) continue;
    // A dangling link names no device yet (e.g. the virtual controller is
    // not running); opening it then fails with the system's reason. A file
    // that holds no address opens as itself, and fails as no terminal.
    ports[*n] = AddressInFile(entry).value_or(entry.path().string());
  }
}

}  // namespace

PortRoots DefaultPortRoots() {
  PortRoots roots;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    roots.ports_folder = fs::path(config) / "lumera" / "ports";
  } else if (const char* home = std::getenv("HOME");
             home != nullptr && home[0] != '\0') {
    roots.ports_folder = fs::path(home) / ".config" / "lumera" / "ports";
  }
  return roots;
}

std::optional<int> ParseComName(std::string_view name) {
  if (name.size() < 4 || name.substr(0, 3) != "COM") return std::nullopt;
  return WholeNumber(name.substr(3));
}

std::optional<int> ParseTypedComName(std::string_view name) {
  if (name.size() < 4) return std::nullopt;
  std::string upper(name.substr(0, 3));
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (upper != "COM") return std::nullopt;
  return WholeNumber(name.substr(3));
}

std::vector<PortEntry> ListSerialPorts(const PortRoots& roots) {
  std::map<int, std::string> ports;
  AddDeviceRules(roots, ports);
  AddFolderEntries(roots, ports);
  std::vector<PortEntry> list;
  list.reserve(ports.size());
  for (auto& [number, device] : ports) list.push_back({number, device});
  return list;
}

std::optional<std::string> ResolvePortName(std::string_view name,
                                           const PortRoots& roots) {
  if (const std::optional<int> n = ParseTypedComName(name)) {
    std::map<int, std::string> entries;
    AddFolderEntries(roots, entries);
    if (const auto it = entries.find(*n); it != entries.end()) {
      return it->second;
    }
    return DeviceForNumber(roots, *n);
  }
  if (name.empty()) return std::nullopt;
  if (ParseNetworkAddress(name)) return std::string(name);
  std::error_code ec;
  if (!fs::exists(fs::path(std::string(name)), ec)) return std::nullopt;
  return std::string(name);
}

}  // namespace lumera
