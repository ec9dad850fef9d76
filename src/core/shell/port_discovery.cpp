#include "core/shell/port_discovery.h"

#include <algorithm>
#include <climits>

namespace lumera {

namespace {

constexpr std::string_view kComPrefix = "COM";

int LeadingNumber(std::string_view text) {
  long long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
  }
  return static_cast<int>(value);
}

}  // namespace

PortList DiscoverSerialPorts(std::span<const DeviceName> names) {
  PortList list;
  for (const DeviceName& entry : names) {
    if (list.count >= kMaxPorts || entry.name.empty()) break;
    const std::string_view name = entry.name;
    if (name.size() > kComPrefix.size() && name.starts_with(kComPrefix)) {
      list.ports[static_cast<std::size_t>(list.count++)] = {
          LeadingNumber(name.substr(kComPrefix.size())), entry.device};
    }
  }
  std::stable_sort(list.ports.begin(), list.ports.begin() + list.count,
                   [](const PortEntry& a, const PortEntry& b) {
                     return a.number < b.number;
                   });
  return list;
}

std::vector<DeviceName> SplitDeviceNameList(std::string_view list) {
  std::vector<DeviceName> names;
  while (!list.empty() && list.front() != '\0') {
    const std::size_t end = list.find('\0');
    names.push_back({std::string(list.substr(0, end)), {}});
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return names;
}

std::string PortEntryText(const PortEntry& port) {
  std::string text = "COM" + std::to_string(port.number);
  if (!port.device.empty()) text += " (" + port.device + ")";
  return text;
}

PortChoices FillPortList(const PortList& list, int current_port) {
  PortChoices choices;
  for (const PortEntry& port : list.Entries()) {
    if (port.number == current_port) {
      choices.selected = static_cast<int>(choices.entries.size());
    }
    choices.entries.push_back(PortEntryText(port));
  }
  return choices;
}

}  // namespace lumera
