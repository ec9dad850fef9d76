// The one job a site needs beyond those of the window's buttons.
#pragma once

#include "core/model/program_store.h"
#include "core/session/jobs.h"

namespace lumera {

// Reads, for segments 1 to 9, the commands of `program` and the slot after
// the last of each (so a longer program on the controller shows), into the
// workspace's store: a verification that costs what the program is long,
// not what the memory is large.
bool StartReadProgramCommands(LinkContext& context,
                              const ProgramStore& program);

// How many slots of `segment` (0-based) that job reads.
int ReadCommandSlots(const ProgramStore& program, int segment);

}  // namespace lumera
