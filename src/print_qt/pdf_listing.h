// A listing as a PDF document held in memory, for the command line, which
// writes it to its file in one step.
#pragma once

#include <QByteArray>
#include <string_view>
#include <vector>

#include "core/print/listing.h"

namespace lumera {

// Draws `pages` on A4 pages with 10 mm margins into `pdf`. Returns the
// printout's warning, empty when the document is complete. Needs a
// QGuiApplication for its fonts.
std::string_view RenderListingPdf(const std::vector<ListingPage>& pages,
                                  QByteArray& pdf);

}  // namespace lumera
