#include "core/config/switch_display.h"

#include <cstdio>

namespace lumera {

namespace {

std::string NumberText(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "nr %d", number);
  return text;
}

}  // namespace

SwitchDisplay RefreshSwitchDisplay(const ControllerStatus& status) {
  const unsigned s = status.switch_byte;
  const unsigned f = status.flags;
  SwitchDisplay display{};
  for (int position = 1; position <= 8; ++position) {
    const int bit = 8 - position;
    display.pictures[static_cast<std::size_t>(position - 1)] =
        ((s >> bit) & 1) != 0 ? kSwitchOffPicture : kSwitchOnPicture;
  }
  // A clear bit is a position that is on, hence the NOT.
  display.tempo_text = NumberText(static_cast<int>(((~s >> 4) & 7) + 1));
  display.start_text = NumberText(static_cast<int>((~s & 15) + 1));
  if ((f & kFlagInternalMemoryOnly) != 0) {
    display.memory_text = kInternalMemoryOnlyText;
  } else {
    display.memory_text =
        (s & 0x80) != 0 ? kInternalMemoryText : kExternalMemoryText;
  }
  display.supply_text =
      (f & kFlagDcSupply) != 0 ? kDcSupplyText : kMainsSupplyText;
  return display;
}

}  // namespace lumera
