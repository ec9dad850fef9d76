#include "core/link/port_owners.h"

#include <algorithm>

#include "core/link/port_identity.h"

namespace lumera {

std::string PortRefusalText(const PortRefusal& refusal) {
  std::string text =
      "Port " + refusal.port + " jest zajęty: używa go " + refusal.owner;
  if (refusal.held_as != refusal.port)
    text += " (jako " + refusal.held_as + ")";
  return text + "; nic nie zostało wysłane.";
}

std::optional<PortRefusal> PortOwners::Take(
    std::string_view owner, const std::vector<std::string>& ports,
    const PortRoots& roots) {
  std::vector<Held> taken;
  for (const std::string& port : ports) {
    taken.push_back({PortIdentity(port, roots), port, std::string(owner)});
  }
  const std::lock_guard lock(mutex_);
  for (const Held& wanted : taken) {
    for (const Held& held : held_) {
      if (held.owner != owner && held.identity == wanted.identity) {
        return PortRefusal{wanted.name, held.name, held.owner};
      }
    }
  }
  std::erase_if(held_,
                [owner](const Held& held) { return held.owner == owner; });
  held_.insert(held_.end(), taken.begin(), taken.end());
  return std::nullopt;
}

void PortOwners::Release(std::string_view owner) {
  const std::lock_guard lock(mutex_);
  std::erase_if(held_,
                [owner](const Held& held) { return held.owner == owner; });
}

}  // namespace lumera
