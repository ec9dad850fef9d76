// The program listing on a printer the user picked in the print dialog,
// for the main window's printing buttons.
#pragma once

#include <string_view>
#include <vector>

#include "core/print/listing.h"

class QPrinter;

namespace lumera {

struct Workspace;

enum class PrintScope { kCurrentSegment, kAllSegments };

// The pages of the scope, with the print option, controller number and
// program file name of the settings.
std::vector<ListingPage> ListingPagesOf(const Workspace& workspace,
                                        PrintScope scope);

// Prints the scope on the printer the user chose. Returns the printout's
// warning when the printer refused a step, else nothing.
std::string_view PrintListingOn(QPrinter& printer, const Workspace& workspace,
                                PrintScope scope);

}  // namespace lumera
