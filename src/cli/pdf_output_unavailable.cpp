// The PDF writer of a build without Qt (the Windows command line).
#include "cli/pdf_output.h"

namespace lumera {

bool PdfOutputAvailable() { return false; }

bool WritePdfListing(const std::vector<ListingPage>&,
                     const std::filesystem::path&, std::string& error) {
  error = std::string(kPdfUnavailableText);
  return false;
}

}  // namespace lumera
