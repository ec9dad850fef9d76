// The configuration page's picture of the controller's eight-position
// switch and its memory and supply flags, as last reported.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/config/controller_status.h"

namespace lumera {

inline constexpr int kSwitchOffPicture = 114;  // lever at the bottom
inline constexpr int kSwitchOnPicture = 115;   // lever at the top

// Fixed marks under the switch.
inline constexpr std::string_view kTempoMark = "|_Tempo_|";
inline constexpr std::string_view kStartMark = "|__ Start___|";
inline constexpr std::string_view kMemoryMark = "|";

inline constexpr std::string_view kInternalMemoryOnlyText =
    "Tylko pamięć wewnętrzna";
inline constexpr std::string_view kInternalMemoryText = "Pamięć wewnętrzna";
// The system's own spelling, shown as it is.
inline constexpr std::string_view kExternalMemoryText = "Pamęć zewnętrzna";
inline constexpr std::string_view kDcSupplyText = "DC";
inline constexpr std::string_view kMainsSupplyText = "50Hz";
// What the supply text shows before the first refresh.
inline constexpr std::string_view kSupplyUnfilledText = "----";

struct SwitchDisplay {
  // The pictures of positions 1 to 8, left to right: bits 7 down to 0 of
  // the switch byte; kSwitchOffPicture or kSwitchOnPicture.
  std::array<int, 8> pictures;
  std::string tempo_text;  // "nr %d", tempo 1..8
  std::string start_text;  // "nr %d", start point 1..16
  std::string memory_text;
  std::string supply_text;
};

SwitchDisplay RefreshSwitchDisplay(const ControllerStatus& status);

}  // namespace lumera
