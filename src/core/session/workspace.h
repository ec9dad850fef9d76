// Everything one run of a Lumera program works on, owned by its main and
// handed to the rest by reference: there are no mutable globals.
#pragma once

#include "core/config/config_page_values.h"
#include "core/config/controller_status.h"
#include "core/link/link_state.h"
#include "core/model/program_store.h"
#include "core/model/received_program.h"
#include "core/shell/shell_settings.h"

namespace lumera {

struct Workspace {
  // The configuration defaults go into the image's last 64 bytes, and the
  // clock copy takes the computer's time. The snapshot follows, so a fresh
  // workspace counts as unchanged.
  Workspace() {
    StartConfiguration(store.mutable_image(), status, config_page);
    store.TakeSnapshot();
  }

  // The program image with its comments and snapshot.
  ProgramStore store;
  // What a receive job reads of the program, until it ends and its commands
  // replace the store's (see EndReceivedProgram).
  ReceivedProgram received;
  // Error report, registers, position and the radio-box values.
  LinkState link;
  // The configuration record itself is the store's image bytes 7650..7713
  // (see ControllerConfig); beside it what the controller reports and the
  // configuration page's own values.
  ControllerStatus status;
  ConfigPageValues config_page;
  ShellSettings settings;
};

}  // namespace lumera
