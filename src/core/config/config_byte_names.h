// The name of each byte of the 64-byte configuration record, for listings
// of differences.
#pragma once

#include <cstddef>
#include <string>

namespace lumera {

// `byte` is 0..63 (0 = first byte of the general block); a byte outside the
// record gets "bajt N".
std::string ConfigByteName(std::size_t byte);

}  // namespace lumera
