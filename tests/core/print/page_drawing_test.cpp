#include "core/print/page_drawing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumera {
namespace {

constexpr int kFrameLines = 6;  // frame, left rule, header rule

ListingRow Row(ListingRowKind kind, std::string text) {
  ListingRow row;
  row.kind = kind;
  row.text = std::move(text);
  if (kind == ListingRowKind::kHeading) {
    row.rule_above = true;
    row.rule_below = true;
  }
  return row;
}

// Rows given as 'c' (command) or 'h' (heading).
ListingPage Page(std::string_view rows, bool closing) {
  ListingPage page;
  page.segment = 2;
  page.header = "PROGRAM numer:2    Sterownik:1    PLIK: a.prg";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    page.rows.push_back(Row(
        rows[i] == 'h' ? ListingRowKind::kHeading : ListingRowKind::kCommand,
        std::string(1, rows[i]) + std::to_string(i)));
  }
  page.closing_rule = closing;
  return page;
}

struct DrawCase {
  const char* what;
  std::string rows;
  bool closing;
  std::vector<int> rule_ys;  // horizontal rules after the header's
  std::vector<int> text_xs;  // of the rows, in order
};

class DrawPage : public testing::TestWithParam<DrawCase> {};

TEST_P(DrawPage, PlacesRowsAndRules) {
  const DrawCase& c = GetParam();
  const PageDrawing drawing = DrawListingPage(Page(c.rows, c.closing));
  ASSERT_GE(drawing.lines.size(), static_cast<std::size_t>(kFrameLines));
  std::vector<int> rule_ys;
  for (std::size_t i = kFrameLines; i < drawing.lines.size(); ++i) {
    const PageLine& line = drawing.lines[i];
    EXPECT_EQ(line.x1, 200);
    EXPECT_EQ(line.x2, 2300);
    EXPECT_EQ(line.y1, line.y2);
    rule_ys.push_back(line.y1);
  }
  EXPECT_EQ(rule_ys, c.rule_ys) << c.what;
  ASSERT_EQ(drawing.texts.size(), c.rows.size() + 1) << c.what;
  EXPECT_EQ(
      drawing.texts[0],
      (PageText{300, 110, "PROGRAM numer:2    Sterownik:1    PLIK: a.prg"}));
  for (std::size_t r = 0; r < c.rows.size(); ++r) {
    EXPECT_EQ(drawing.texts[r + 1].x, c.text_xs[r]) << c.what << " row " << r;
    EXPECT_EQ(drawing.texts[r + 1].y, 440 + 220 * static_cast<int>(r));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, DrawPage,
    testing::Values(
        DrawCase{"header only, closed at row 0", "", true, {437}, {}},
        DrawCase{"two commands", "cc", true, {877}, {230, 230}},
        DrawCase{"heading between rules",
                 "chc",
                 true,
                 {657, 877, 1097},
                 {230, 300, 230}},
        DrawCase{"full page is not closed",
                 std::string(58, 'c'),
                 false,
                 {},
                 std::vector<int>(58, 230)},
        DrawCase{"heading at row 57 pushes its command to row 58",
                 std::string(57, 'c') + "hc",
                 false,
                 {440 + 220 * 57 - 3, 440 + 220 * 58 - 3},
                 [] {
                   std::vector<int> xs(59, 230);
                   xs[57] = 300;
                   return xs;
                 }()}),
    [](const testing::TestParamInfo<DrawCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(DrawPage, FrameAndRulesAreThePageGeometry) {
  const PageDrawing drawing = DrawListingPage(Page("", false));
  const std::vector<PageLine> frame = {
      {0, 0, 2300, 0}, {2300, 0, 2300, 3290}, {2300, 3290, 0, 3290},
      {0, 3290, 0, 0}, {200, 0, 200, 3290},   {200, 436, 2300, 436}};
  EXPECT_EQ(drawing.lines, frame);
}

}  // namespace
}  // namespace lumera
