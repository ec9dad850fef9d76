// The ports the jobs of one process hold, and for whom: a site run and a
// job of the window never use one port at once. A port is one port under
// each of its names (PortIdentity). Each owner holds one set of ports at a
// time; the run's other lines and the window's next job take theirs anew.
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/port_names.h"

namespace lumera {

// Who holds a port that was asked for.
struct PortRefusal {
  std::string port;     // as the refused one named it
  std::string held_as;  // as its holder named it
  std::string owner;    // the holder, as it named itself
};

// "Port COM3 jest zajęty: używa go <owner> (jako /dev/ttyUSB2); nic nie
// zostało wysłane."
std::string PortRefusalText(const PortRefusal& refusal);

class PortOwners {
 public:
  // Every port of `ports` for `owner`, or none of them: then who holds the
  // first one another owner holds. What `owner` held before is given up.
  std::optional<PortRefusal> Take(std::string_view owner,
                                  const std::vector<std::string>& ports,
                                  const PortRoots& roots);
  void Release(std::string_view owner);

 private:
  struct Held {
    std::string identity;
    std::string name;
    std::string owner;
  };
  std::mutex mutex_;
  std::vector<Held> held_;
};

}  // namespace lumera
