// The program a first run of tools/run opens: a few segments that show
// what the editor does.
#pragma once

#include "core/model/program_store.h"

namespace lumera {

// The sample's program file name, beside Lumera.ini in the demo folder.
inline constexpr char kSampleProgramFileName[] = "Przyklad.prg";

// Writes the sample's commands and comments into `store`, whose image
// holds the start configuration.
void FillSampleProgram(ProgramStore& store);

}  // namespace lumera
