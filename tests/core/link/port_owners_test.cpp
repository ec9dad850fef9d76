#include "core/link/port_owners.h"

#include <gtest/gtest.h>

namespace lumera {
namespace {

// Steps of two owners over one registry: a take is all or nothing, a port
// is one under each of its names, and an owner's new take gives up its old.
TEST(PortOwnersTest, OneOwnerPerPortUnderEveryName) {
  struct Step {
    const char* owner;  // nullptr: release `ports[0]`'s owner, named there
    std::vector<std::string> ports;
    const char* refusal;  // empty: taken
  };
  const Step steps[] = {
      {"okno", {"COM3"}, ""},
      {"obiekt",
       {"tcp:a:1", "3"},
       "Port 3 jest zajęty: używa go okno (jako COM3); nic nie zostało "
       "wysłane."},
      // Nothing of the refused take stayed; the window gives COM3 up.
      {"okno", {"rfc2217:A:1"}, ""},
      {"obiekt", {"3"}, ""},
      {"obiekt",
       {"tcp:a:1"},
       "Port tcp:a:1 jest zajęty: używa go okno (jako rfc2217:A:1); nic nie "
       "zostało wysłane."},
      {nullptr, {"okno"}, ""},
      {"obiekt", {"tcp:a:1", "COM3"}, ""},
      // A number written with a leading zero is the same port.
      {"okno",
       {"COM03"},
       "Port COM03 jest zajęty: używa go obiekt (jako COM3); nic nie "
       "zostało wysłane."},
  };
  PortOwners owners;
  // No device anywhere: COM3 is itself.
  const PortRoots roots{"/nonexistent", "/nonexistent", "/nonexistent"};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.ports.front());
    if (step.owner == nullptr) {
      owners.Release(step.ports.front());
      continue;
    }
    const std::optional<PortRefusal> refusal =
        owners.Take(step.owner, step.ports, roots);
    EXPECT_EQ(refusal ? PortRefusalText(*refusal) : "", step.refusal);
  }
}

}  // namespace
}  // namespace lumera
