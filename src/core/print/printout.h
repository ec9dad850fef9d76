// The order in which a printout hands its pages to a printer, and where it
// stops when the printer refuses a step.
#pragma once

#include <string_view>
#include <vector>

#include "core/print/listing.h"
#include "core/print/page_drawing.h"

namespace lumera {

// A printer as the printout sees it. A step that returns false is refused.
class ListingDevice {
 public:
  virtual ~ListingDevice() = default;
  virtual bool StartDoc() = 0;
  virtual bool StartPage() = 0;
  virtual void DrawLine(const PageLine& line) = 0;
  virtual void DrawText(const PageText& text) = 0;
  virtual bool EndPage() = 0;
  virtual bool EndDoc() = 0;
};

// Prints `pages` as one document (a document without pages when there are
// none). A refused start of the document, start of a page or end of a page
// abandons the printout at once: nothing more reaches the device, not even
// the end of the document. Returns the warning to show ("StartDOC",
// "StartPage", "EndPage" or "EndDoc"), empty when every step was taken.
std::string_view PrintPages(const std::vector<ListingPage>& pages,
                            ListingDevice& device, int row_pitch = kRowPitch);

}  // namespace lumera
