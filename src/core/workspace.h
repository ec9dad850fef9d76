// Everything one run of a Lumera program works on, owned by its main and
// handed to the rest by reference: there are no mutable globals.
#pragma once

#include "core/link/link_state.h"
#include "core/model/program_store.h"

namespace lumera {

struct Workspace {
  // Other subsystems add their members here: the controller configuration
  // with its status and page values (whose defaults go into the store's
  // configuration bytes when a Workspace is made), the shell settings, the
  // error report and the register values.
  ProgramStore store;
  // Error report, registers, position and the radio-box values.
  LinkState link;
};

}  // namespace lumera
