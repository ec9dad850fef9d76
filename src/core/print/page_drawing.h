// Where a listing page puts its lines and texts, in printer device units
// (x to the right, y downwards, from the top-left corner of the printable
// area; a text position is the top-left corner of the text). The printer
// scales these to its own page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/print/listing.h"

namespace lumera {

inline constexpr int kPageFrameRight = 2300;
inline constexpr int kPageFrameBottom = 3290;
inline constexpr int kLeftRuleX = 200;
inline constexpr int kHeaderTextX = 300;
inline constexpr int kHeaderTextY = 110;
inline constexpr int kHeaderRuleY = 436;
inline constexpr int kFirstRowTop = 440;
inline constexpr int kRowPitch = 220;
inline constexpr int kCommandTextX = 230;
inline constexpr int kHeadingTextX = 300;
// A row's rule sits just above its top.
inline constexpr int kRuleAboveRow = 3;

// The one font of the listing.
inline constexpr std::string_view kListingFontFace = "Arial Narrow";
inline constexpr int kListingFontHeight = 8;
inline constexpr int kListingFontWidth = 12;
inline constexpr int kListingFontWeight = 400;

// Warnings of a printout that could not go on.
inline constexpr std::string_view kStartDocFailedText = "StartDOC";
inline constexpr std::string_view kStartPageFailedText = "StartPage";
inline constexpr std::string_view kEndPageFailedText = "EndPage";
inline constexpr std::string_view kEndDocFailedText = "EndDoc";

// On paper the frame fills the printable area, but 58 rows at the pitch
// above would run far below it. Paper pitches the rows so that the 59 rows a
// page can hold (a heading on the last row pushes its command one further)
// fit between the header rule and the frame's bottom.
inline constexpr int kPaperRowPitch =
    (kPageFrameBottom - kFirstRowTop) / (kListingRowsPerPage + 1);

constexpr int RowTop(int row, int pitch = kRowPitch) {
  return kFirstRowTop + pitch * row;
}
constexpr int RuleAboveRowY(int row, int pitch = kRowPitch) {
  return RowTop(row, pitch) - kRuleAboveRow;
}

struct PageLine {
  int x1 = 0;
  int y1 = 0;
  int x2 = 0;
  int y2 = 0;
  friend bool operator==(const PageLine&, const PageLine&) = default;
};

struct PageText {
  int x = 0;
  int y = 0;
  std::string text;  // UTF-8
  friend bool operator==(const PageText&, const PageText&) = default;
};

// Everything drawn on one page, in drawing order: the frame, the left rule,
// the header rule and the header text, then the rows with their rules, and
// the closing rule under the last row of a segment.
struct PageDrawing {
  std::vector<PageLine> lines;
  std::vector<PageText> texts;
};

// `row_pitch` is kRowPitch as the page geometry gives it, or kPaperRowPitch
// for a page that must fit the paper.
PageDrawing DrawListingPage(const ListingPage& page, int row_pitch = kRowPitch);

}  // namespace lumera
