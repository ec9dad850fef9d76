// The shared program types: one command, the flat program image and its
// layout. Everything that reads or writes program bytes uses these.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumera {

inline constexpr int kSegmentCount = 10;
inline constexpr int kCommandsPerSegment = 255;
inline constexpr std::size_t kCommandSize = 3;
inline constexpr std::size_t kSegmentSize = kCommandsPerSegment * kCommandSize;
inline constexpr std::size_t kProgramBytes = kSegmentCount * kSegmentSize;
inline constexpr std::size_t kConfigBlockSize = 32;
inline constexpr std::size_t kGeneralConfigOffset = kProgramBytes;  // 7650
inline constexpr std::size_t kStartPointOffset =
    kGeneralConfigOffset + kConfigBlockSize;  // 7682
inline constexpr std::size_t kConfigBytes = 2 * kConfigBlockSize;
inline constexpr std::size_t kImageSize = kProgramBytes + kConfigBytes;
static_assert(kImageSize == 7714);

// One program step: command code and two one-byte parameters.
struct Command {
  std::uint8_t code = 0xFF;
  std::uint8_t param1 = 0xFF;
  std::uint8_t param2 = 0xFF;
  friend bool operator==(const Command&, const Command&) = default;
};

inline constexpr Command kEmptyCommand{0xFF, 0xFF, 0xFF};

using ProgramImage = std::array<std::uint8_t, kImageSize>;

// Byte offset of command `command` (0..254) of segment `segment` (0..9).
constexpr std::size_t CommandOffset(int segment, int command) {
  return static_cast<std::size_t>(segment) * kSegmentSize +
         static_cast<std::size_t>(command) * kCommandSize;
}

}  // namespace lumera
