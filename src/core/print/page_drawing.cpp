#include "core/print/page_drawing.h"

namespace lumera {
namespace {

void RuleAbove(PageDrawing& drawing, int row, int pitch) {
  const int y = RuleAboveRowY(row, pitch);
  drawing.lines.push_back({kLeftRuleX, y, kPageFrameRight, y});
}

}  // namespace

PageDrawing DrawListingPage(const ListingPage& page, int row_pitch) {
  PageDrawing drawing;
  drawing.lines = {
      {0, 0, kPageFrameRight, 0},
      {kPageFrameRight, 0, kPageFrameRight, kPageFrameBottom},
      {kPageFrameRight, kPageFrameBottom, 0, kPageFrameBottom},
      {0, kPageFrameBottom, 0, 0},
      {kLeftRuleX, 0, kLeftRuleX, kPageFrameBottom},
      {kLeftRuleX, kHeaderRuleY, kPageFrameRight, kHeaderRuleY},
  };
  drawing.texts.push_back({kHeaderTextX, kHeaderTextY, page.header});
  int row = 0;
  for (const ListingRow& line : page.rows) {
    if (line.rule_above) RuleAbove(drawing, row, row_pitch);
    const bool heading = line.kind == ListingRowKind::kHeading;
    drawing.texts.push_back({heading ? kHeadingTextX : kCommandTextX,
                             RowTop(row, row_pitch), line.text});
    ++row;
    if (line.rule_below) RuleAbove(drawing, row, row_pitch);
  }
  if (page.closing_rule) RuleAbove(drawing, row, row_pitch);
  return drawing;
}

}  // namespace lumera
