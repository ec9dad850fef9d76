#include "cli/status_texts.h"

#include <cstdio>

namespace lumera {
namespace {

std::string Format(const char* format, int value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// The memory text of the switch group: the flag wins over switch position
// 1 (bit 7).
const char* MemoryText(const ControllerStatus& status) {
  if ((status.flags & kFlagInternalMemoryOnly) != 0) {
    return "Tylko pamięć wewnętrzna";
  }
  return (status.switch_byte & 0x80) != 0 ? "Pamięć wewnętrzna"
                                          : "Pamęć zewnętrzna";
}

}  // namespace

std::string HardwareInfoText(const ControllerStatus& status) {
  const int s = status.switch_byte;
  // A clear bit is a position that is on; bit 7 is position 1.
  std::string on;
  for (int position = 1; position <= 8; ++position) {
    if ((s & (0x80 >> (position - 1))) == 0) {
      if (!on.empty()) on += ' ';
      on += std::to_string(position);
    }
  }
  std::string text = Format("Przełącznik: %02Xh\n", s);
  text += "Włączone pozycje: " + (on.empty() ? std::string("brak") : on) + "\n";
  text += Format("Tempo: nr %d\n", ((~s >> 4) & 7) + 1);
  text += Format("Start: nr %d\n", (~s & 15) + 1);
  text += std::string(MemoryText(status)) + "\n";
  text += std::string("Zasilanie: ") +
          ((status.flags & kFlagDcSupply) != 0 ? "DC" : "50Hz") + "\n";
  text += Format("Flagi: %02Xh\n", status.flags);
  text += Format("Maska wyjść: %02Xh\n", status.output_mask);
  return text;
}

std::string VersionText(const ControllerStatus& status) {
  char text[32];
  std::snprintf(text, sizeof text, "Wersja: %d.%d", status.version_major,
                status.version_minor);
  return text;
}

}  // namespace lumera
