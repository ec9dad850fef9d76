// What the controller link keeps in the Workspace: the controller's error
// report, its registers and last reported position, and the main window's
// radio-box values that the settings file does not keep.
#pragma once

#include <array>
#include <cstdint>

#include "core/link/error_report.h"
#include "core/link/frames.h"
#include "core/model/controller_registers.h"

namespace lumera {

struct LinkState {
  ErrorReport error_report;
  // From the last ReadRegisters reply; shown by ShowRegisters.
  std::array<std::uint8_t, kRegisterCount> registers{};
  // From the last ReadPosition reply (0-based indexes).
  std::uint8_t position_segment = 0;
  std::uint8_t position_command = 0;
  // Data bytes b5..b14 of the last ReadHardwareInfo reply; only b11..b13
  // have a meaning (ControllerStatus), the others are kept as received.
  std::array<std::uint8_t, 10> hardware_info{};
  // Radio box: "Do Punktu Numer" / "Wszystkie", and "Czas" (0..255).
  RadioMode radio_mode = RadioMode::kPoint;
  int time_byte = 0;
};

}  // namespace lumera
