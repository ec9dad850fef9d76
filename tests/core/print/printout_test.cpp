#include "core/print/printout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumera {
namespace {

enum class Step { kNone, kStartDoc, kStartPage, kEndPage, kEndDoc };

// A printer that writes down what reaches it: the steps, and for each page
// "draw L/T" with its numbers of lines and texts. It refuses `refused` at
// its `refused_at`-th occurrence (from 1).
class RecordingDevice : public ListingDevice {
 public:
  RecordingDevice(Step refused, int refused_at)
      : refused_(refused), refused_at_(refused_at) {}

  bool StartDoc() override { return Take(Step::kStartDoc, "StartDoc"); }
  bool StartPage() override { return Take(Step::kStartPage, "StartPage"); }
  void DrawLine(const PageLine&) override { ++lines_; }
  void DrawText(const PageText&) override { ++texts_; }
  bool EndPage() override {
    log.push_back("draw " + std::to_string(lines_) + "/" +
                  std::to_string(texts_));
    lines_ = texts_ = 0;
    return Take(Step::kEndPage, "EndPage");
  }
  bool EndDoc() override { return Take(Step::kEndDoc, "EndDoc"); }

  std::vector<std::string> log;

 private:
  bool Take(Step step, const char* name) {
    log.push_back(name);
    if (step != refused_) return true;
    return ++seen_ != refused_at_;
  }

  Step refused_;
  int refused_at_;
  int seen_ = 0;
  int lines_ = 0;
  int texts_ = 0;
};

ProgramImage ImageWith(int commands, std::uint8_t first_code) {
  ProgramImage image;
  image.fill(0xFF);
  for (int k = 0; k < commands; ++k) {
    const std::size_t offset = CommandOffset(0, k);
    image[offset] = k == 0 ? first_code : 1;
    image[offset + 1] = 1;
    image[offset + 2] = 5;
  }
  return image;
}

struct PrintCase {
  const char* what;
  int commands;  // in segment 1, all of code 1 but the first
  std::uint8_t first_code;
  Step refused;
  int refused_at;
  const char* warning;
  std::vector<std::string> log;
};

class PrintOut : public testing::TestWithParam<PrintCase> {};

TEST_P(PrintOut, HandsPagesToThePrinterAndStopsAtARefusal) {
  const PrintCase& c = GetParam();
  const std::vector<ListingPage> pages =
      ListProgram(ImageWith(c.commands, c.first_code), nullptr, {});
  RecordingDevice device(c.refused, c.refused_at);
  EXPECT_EQ(PrintPages(pages, device, kPaperRowPitch), c.warning) << c.what;
  EXPECT_EQ(device.log, c.log) << c.what;
}

// Frame, left rule and header rule are six lines; the header one text.
INSTANTIATE_TEST_SUITE_P(
    Printer, PrintOut,
    testing::Values(
        PrintCase{"fresh program: a document without pages",
                  0,
                  1,
                  Step::kNone,
                  0,
                  "",
                  {"StartDoc", "EndDoc"}},
        PrintCase{"first code 45: header and closing rule",
                  3,
                  45,
                  Step::kNone,
                  0,
                  "",
                  {"StartDoc", "StartPage", "draw 7/1", "EndPage", "EndDoc"}},
        PrintCase{"30 rows and the closing rule",
                  30,
                  1,
                  Step::kNone,
                  0,
                  "",
                  {"StartDoc", "StartPage", "draw 7/31", "EndPage", "EndDoc"}},
        PrintCase{"58 commands: a full page, then header and closing rule",
                  58,
                  1,
                  Step::kNone,
                  0,
                  "",
                  {"StartDoc", "StartPage", "draw 6/59", "EndPage", "StartPage",
                   "draw 7/1", "EndPage", "EndDoc"}},
        PrintCase{"start of the document refused",
                  58,
                  1,
                  Step::kStartDoc,
                  1,
                  "StartDOC",
                  {"StartDoc"}},
        PrintCase{
            "second page refused",
            58,
            1,
            Step::kStartPage,
            2,
            "StartPage",
            {"StartDoc", "StartPage", "draw 6/59", "EndPage", "StartPage"}},
        PrintCase{"end of the first page refused",
                  58,
                  1,
                  Step::kEndPage,
                  1,
                  "EndPage",
                  {"StartDoc", "StartPage", "draw 6/59", "EndPage"}},
        PrintCase{"end of the document refused",
                  1,
                  1,
                  Step::kEndDoc,
                  1,
                  "EndDoc",
                  {"StartDoc", "StartPage", "draw 7/2", "EndPage", "EndDoc"}}),
    [](const testing::TestParamInfo<PrintCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(PaperPitch, FiftyNineRowsFitBetweenHeaderRuleAndFrame) {
  ListingPage page;
  page.rows.resize(kListingRowsPerPage + 1);
  page.closing_rule = true;
  const PageDrawing drawing = DrawListingPage(page, kPaperRowPitch);
  EXPECT_GT(RuleAboveRowY(0, kPaperRowPitch), kHeaderRuleY);
  const PageLine& closing = drawing.lines.back();
  EXPECT_EQ(closing.y1, RowTop(kListingRowsPerPage + 1, kPaperRowPitch) - 3);
  EXPECT_LE(closing.y1, kPageFrameBottom);
  EXPECT_EQ(drawing.texts.back().y,
            RowTop(kListingRowsPerPage, kPaperRowPitch));
}

}  // namespace
}  // namespace lumera
