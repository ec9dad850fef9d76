#include "core/print/printout.h"

namespace lumera {

std::string_view PrintPages(const std::vector<ListingPage>& pages,
                            ListingDevice& device, int row_pitch) {
  if (!device.StartDoc()) return kStartDocFailedText;
  for (const ListingPage& page : pages) {
    if (!device.StartPage()) return kStartPageFailedText;
    // One page at a time: a long program never holds all its drawings.
    const PageDrawing drawing = DrawListingPage(page, row_pitch);
    for (const PageLine& line : drawing.lines) device.DrawLine(line);
    for (const PageText& text : drawing.texts) device.DrawText(text);
    if (!device.EndPage()) return kEndPageFailedText;
  }
  if (!device.EndDoc()) return kEndDocFailedText;
  return {};
}

}  // namespace lumera
