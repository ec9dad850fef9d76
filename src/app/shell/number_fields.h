// How the main window's digits-only fields correct the numbers typed into
// them (read by ReadTypedNumber), each by its rule, silently.
#pragma once

#include <cstdint>

namespace lumera {

// "STEROWNIK nr": 0 is raised to 1, anything above 255 lowered to 255.
int ControllerAddressFromField(std::uint32_t number);
// The two radio-address nibbles keep their low four bits (20 becomes 4).
std::uint8_t NibbleFromField(std::uint32_t number);
// The radio address's low byte is lowered to 240.
std::uint8_t RadioLowByteFromField(std::uint32_t number);
// "Czas" is lowered to 255.
int TimeByteFromField(std::uint32_t number);

}  // namespace lumera
