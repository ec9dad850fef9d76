// The one reader of what a user types into a number field, for every page
// and the main window alike.
#pragma once

#include <cstdint>
#include <string_view>

namespace lumera {

// The text read as an unsigned decimal whole number after any leading
// spaces (a refresh leaves them in front of controller number 0, and the
// user types after them); empty text, text that is not a number and numbers
// beyond 32 bits read as 0.
std::uint32_t ReadTypedNumber(std::string_view text);

// Text of one or more decimal digits and nothing else: a number as a file
// or a command line writes it.
bool AllDigits(std::string_view text);

}  // namespace lumera
