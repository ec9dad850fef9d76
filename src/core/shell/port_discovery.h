// Serial port discovery: the COM<n> names among the system's device names
// become a sorted list of port numbers, which fills the main window's port
// list.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/port_names.h"

namespace lumera {

inline constexpr int kMaxPorts = 120;

// One device name as the system lists it, with the device it stands for
// (empty where the name is all there is).
struct DeviceName {
  std::string name;
  std::string device;
};

struct PortList {
  std::array<PortEntry, kMaxPorts> ports{};
  int count = 0;

  std::span<const PortEntry> Entries() const {
    return {ports.data(), static_cast<std::size_t>(count)};
  }
};

// Walks `names` in order: an empty name ends the list; a name longer than
// three characters that starts with "COM" (upper case) adds the decimal
// number at the start of its rest (no digit gives 0) until 120 are taken.
// The list is then sorted by number; equal numbers stay, side by side.
PortList DiscoverSerialPorts(std::span<const DeviceName> names);

// Room for the system's list of device names on Windows.
inline constexpr std::size_t kDeviceNameListSize = 32000;

// The names of a list as Windows gives it: texts each ended by a zero, and
// one more zero after the last. Stops at the end of `list` should that
// last zero be missing.
std::vector<DeviceName> SplitDeviceNameList(std::string_view list);

// The system's device names: on Windows every MS-DOS device name, in the
// system's order (none when the list does not fit kDeviceNameListSize); on
// POSIX the COM<n> namespace of the ports
// folder and the serial devices (see port_names.h).
std::vector<DeviceName> SystemDeviceNames(const PortRoots& roots);

// Discovery over SystemDeviceNames(DefaultPortRoots()).
PortList DiscoverSerialPorts();

// The texts of the port list control and the entry to select.
struct PortChoices {
  std::vector<std::string> entries;  // index for index the list's ports
  std::optional<int> selected;       // none: no entry is selected
};

// "COM<n>", followed by " (<device>)" when the device is known.
std::string PortEntryText(const PortEntry& port);

// One entry per port in list order; the entry of `current_port` is the one
// to select (of equal numbers, the later). `current_port` is not changed.
PortChoices FillPortList(const PortList& list, int current_port);

}  // namespace lumera
