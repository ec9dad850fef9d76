// Working values of the configuration page that are not part of the
// record. The access-point address is kept with the other radio values in
// ShellSettings, which the settings file and the link read it from.
#pragma once

#include <array>
#include <ctime>

#include "core/config/clock_time.h"
#include "core/config/controller_config.h"
#include "core/config/controller_status.h"
#include "core/model/program_types.h"

namespace lumera {

// The outputs page has rows for eight outputs, the record room for four.
inline constexpr int kPageOutputCount = 8;
inline constexpr int kExtraOutputCount = kPageOutputCount - kConfigOutputCount;

struct ConfigPageValues {
  int new_controller_number = 1;  // 1..254; follows byte 0 of the record
  bool index_mode = false;        // never stored
  ClockTime clock_time;
  // Outputs 5 to 8 of the outputs page: the record has no bytes for them
  // (byte 31 after output 4 is the marker), so they live here, for as long
  // as the program runs, and are never sent nor saved.
  std::array<OutputSetup, kExtraOutputCount> extra_outputs{
      {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}}};
};

// NewControllerNumber := byte 0 of the record; marker := 75.
void SyncControllerNumber(ProgramImage& image, ConfigPageValues& page);

// Start-up of the configuration data on an image already filled with 0xFF:
// the default record, the status and page values at their start values, the
// clock copy from `local_now`, then SyncControllerNumber.
void StartConfiguration(ProgramImage& image, ControllerStatus& status,
                        ConfigPageValues& page, const std::tm& local_now);
// The same with the computer's local time now.
void StartConfiguration(ProgramImage& image, ControllerStatus& status,
                        ConfigPageValues& page);

}  // namespace lumera
