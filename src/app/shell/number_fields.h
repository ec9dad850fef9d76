// How the main window's digits-only fields turn their text into the values
// they edit. Out-of-range entries are corrected silently, each by its rule.
#pragma once

#include <cstdint>
#include <string_view>

namespace lumera {

// The text read as an unsigned decimal whole number after any leading
// spaces; empty text, text that is not a number and numbers beyond 32 bits
// read as 0.
std::uint32_t ReadFieldNumber(std::string_view text);

// "STEROWNIK nr": 0 is raised to 1, anything above 255 lowered to 255.
int ControllerAddressFromField(std::uint32_t number);
// The two radio-address nibbles keep their low four bits (20 becomes 4).
std::uint8_t NibbleFromField(std::uint32_t number);
// The radio address's low byte is lowered to 240.
std::uint8_t RadioLowByteFromField(std::uint32_t number);
// "Czas" is lowered to 255.
int TimeByteFromField(std::uint32_t number);

}  // namespace lumera
