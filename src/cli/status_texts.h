// What the command line prints of the controller's status: the texts of
// the configuration page's switch group and of the main window's version.
#pragma once

#include <string>

#include "core/config/controller_status.h"

namespace lumera {

// The switch byte, the positions that are on, the tempo and start point the
// switch selects, the memory and supply texts, the flags and the output
// mask: one line each.
std::string HardwareInfoText(const ControllerStatus& status);

// "Wersja: M.N" of a version that was read (also with major number 0,
// which the window takes for "not read yet").
std::string VersionText(const ControllerStatus& status);

}  // namespace lumera
