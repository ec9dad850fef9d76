// The shell's working values that live from one run to the next in the
// settings file. Other subsystems read and change them in place.
#pragma once

#include <string>

#include "core/model/radio_address.h"

namespace lumera {

// The name both the start value of the file name and the default program
// file use, so that one file is meant on every file system.
inline constexpr char kDefaultProgramFileName[] = "Prog_001.prg";

struct ShellSettings {
  int port_number = 1;         // "Port": the n of COMn, not bounded
  int controller_address = 1;  // "Device": 1..255, 255 = all controllers
  int current_segment = 1;     // "Program": 1..10
  std::string program_file_name = kDefaultProgramFileName;  // "File", UTF-8
  int radio_option = 0;  // "Radio": 0 off, any other value on
  int entries_only = 0;  // "Entries": 0 off, any other value on
  RadioAddress target_radio_address{15, 15, 240};  // "Address"
  RadioAddress access_point_address{15, 15, 0};    // "Access"
  // The site page's file: [Site] "File", none of Config's keys. Empty: none.
  std::string site_file;
  // "Popraw odwołania" of the editor page: [Editor] "FixReferences", on
  // unless the file says 0.
  bool fix_references = true;

  bool RadioOn() const { return radio_option != 0; }
  bool EntriesOnly() const { return entries_only != 0; }
};

}  // namespace lumera
