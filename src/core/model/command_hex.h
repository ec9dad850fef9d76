// The HEX text of a command ("01,01,05") and the parsing of hexadecimal byte
// texts as typed or shown ("0Fh", "0F", "F", "Fh", "f").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/model/program_types.h"

namespace lumera {

// Code, parameter 1 and parameter 2 as two upper-case hex digits each,
// separated by commas: 8 characters.
std::string FormatCommandHex(const Command& command);

// The byte of a hexadecimal text: at most the first two characters count, one
// digit gets a "0" in front, a second character "h"/"H" is a suffix. Anything
// behind the first two characters is ignored. A character that is not a hex
// digit counts as digit 0; an empty text gives 0.
std::uint8_t ParseHexByte(std::string_view text);

// Inverse of FormatCommandHex: the bytes at positions 0..1, 3..4 and 6..7;
// the separators are not examined. A missing part reads as an empty text.
Command ParseCommandHex(std::string_view text);

}  // namespace lumera
