// The printout as a PDF file, drawn without a display.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/print/listing.h"

namespace lumera {

// What the print command says in a build without PDF output (no Qt).
inline constexpr std::string_view kPdfUnavailableText =
    "Wydruk do PDF nie jest dostępny w tej wersji lumera-cli.";

// False in a build without Qt, where WritePdfListing always fails with
// kPdfUnavailableText.
bool PdfOutputAvailable();

// Draws `pages` into a PDF and replaces `path` with it in one step, so a
// failure leaves no partial file. False, with `error` set to what the user
// is told, when the document could not be drawn or written.
bool WritePdfListing(const std::vector<ListingPage>& pages,
                     const std::filesystem::path& path, std::string& error);

}  // namespace lumera
