// The shell's working values that live from one run to the next in the
// settings file. Other subsystems read and change them in place.
#pragma once

#include <cstdint>
#include <string>

namespace lumera {

// The name both the start value of the file name and the default program
// file use, so that one file is meant on every file system.
inline constexpr char kDefaultProgramFileName[] = "Prog_001.prg";

// A 16-bit radio address kept as the three fields the user edits.
struct RadioAddress {
  std::uint8_t high = 0;    // bits 15-12, 0..15
  std::uint8_t second = 0;  // bits 11-8, 0..15
  std::uint8_t low = 0;     // bits 7-0; typed 0..240, read up to 255

  constexpr std::uint16_t Word() const {
    return static_cast<std::uint16_t>(((high & 0x0F) << 12) |
                                      ((second & 0x0F) << 8) | low);
  }
  // Bits above 15 are dropped.
  static constexpr RadioAddress FromWord(long long value) {
    const auto bits = static_cast<unsigned long long>(value);
    return {static_cast<std::uint8_t>((bits >> 12) & 0x0F),
            static_cast<std::uint8_t>((bits >> 8) & 0x0F),
            static_cast<std::uint8_t>(bits & 0xFF)};
  }
  friend bool operator==(const RadioAddress&, const RadioAddress&) = default;
};

struct ShellSettings {
  int port_number = 1;         // "Port": the n of COMn, not bounded
  int controller_address = 1;  // "Device": 1..255, 255 = all controllers
  int current_segment = 1;     // "Program": 1..10
  std::string program_file_name = kDefaultProgramFileName;  // "File", UTF-8
  int radio_option = 0;  // "Radio": 0 off, any other value on
  int entries_only = 0;  // "Entries": 0 off, any other value on
  RadioAddress target_radio_address{15, 15, 240};  // "Address"
  RadioAddress access_point_address{15, 15, 0};    // "Access"

  bool RadioOn() const { return radio_option != 0; }
  bool EntriesOnly() const { return entries_only != 0; }
};

}  // namespace lumera
