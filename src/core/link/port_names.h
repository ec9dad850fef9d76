// COM<n> names on POSIX systems. The settings keep a port as a number, so
// each serial device gets one:
//   /dev/ttyS<k>   -> COM(k+1), only for ports the kernel reports as UARTs;
//   /dev/ttyUSB<k> -> COM(k+33);
//   /dev/ttyACM<k> -> COM(k+65);
//   every entry COM<n> of the ports folder (a symbolic link to any serial
//   device, e.g. a /dev/serial/by-id name or the virtual controller's
//   pseudo-terminal), or a regular file holding a network address
//   ("tcp:HOST:PORT" or "rfc2217:HOST:PORT", see network_address.h); it
//   wins over the rules above for the same number.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumera {

inline constexpr int kUsbPortBase = 33;
inline constexpr int kAcmPortBase = 65;

// Where the names come from; tests point these at temporary folders.
struct PortRoots {
  std::filesystem::path ports_folder;  // folder of COM<n> links
  std::filesystem::path dev_folder = "/dev";
  std::filesystem::path sys_tty_folder = "/sys/class/tty";
};

// $XDG_CONFIG_HOME/lumera/ports, else $HOME/.config/lumera/ports, with the
// system's /dev and /sys/class/tty.
PortRoots DefaultPortRoots();

struct PortEntry {
  int number = 0;      // the n of COM<n>
  std::string device;  // path to open, or a network address
  friend bool operator==(const PortEntry&, const PortEntry&) = default;
};

// Every serial port found, one entry per number, sorted by number.
std::vector<PortEntry> ListSerialPorts(const PortRoots& roots);

// The number of "COM<n>" (upper case, n decimal, nothing after it), or
// nothing for any other text: the rule for the names of the ports folder
// and of the system's devices.
std::optional<int> ParseComName(std::string_view name);

// The number of a COM port as a user types it, on the command line or in a
// site file: "com5", "Com5" and "COM5" are one port on every system, as
// they are on Windows. Nothing for any other text.
std::optional<int> ParseTypedComName(std::string_view name);

// The device to open for "COM<n>" in any case (looked up in
// ListSerialPorts's sense),
// a network address as it is, or for any other text that names an existing
// path, that path. Nothing when the name maps to no device.
std::optional<std::string> ResolvePortName(std::string_view name,
                                           const PortRoots& roots);

}  // namespace lumera
