// PrintListing: the program listing on a printer the user picks in the print
// dialog, started by the main window's printing buttons.
#pragma once

#include "core/print/listing.h"

namespace lumera {

class Prompts;
struct Workspace;

enum class PrintScope { kCurrentSegment, kAllSegments };

// The pages of the scope, with the print option, controller number and
// program file name of the settings.
std::vector<ListingPage> ListingPagesOf(const Workspace& workspace,
                                        PrintScope scope);

// Asks for a printer and prints the scope. Cancelling prints and shows
// nothing; a printer that refuses a step gets the printout's warning in a
// message box ("INFO").
void PrintListing(Prompts& prompts, const Workspace& workspace,
                  PrintScope scope);

}  // namespace lumera
