#include "core/print/printout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumera {
namespace {

// A printer that logs its steps ("draw L/T": a page's lines and texts) and
// refuses the step named `refused` at its `at`-th time.
class RecordingDevice : public ListingDevice {
 public:
  RecordingDevice(std::string refused, int at)
      : refused_(std::move(refused)), at_(at) {}
  bool StartDoc() override { return Take("StartDoc"); }
  bool StartPage() override { return Take("StartPage"); }
  void DrawLine(const PageLine&) override { ++lines_; }
  void DrawText(const PageText&) override { ++texts_; }
  bool EndPage() override {
    log.push_back("draw " + std::to_string(lines_) + "/" +
                  std::to_string(texts_));
    lines_ = texts_ = 0;
    return Take("EndPage");
  }
  bool EndDoc() override { return Take("EndDoc"); }
  std::vector<std::string> log;

 private:
  bool Take(const std::string& step) {
    log.push_back(step);
    return step != refused_ || ++seen_ != at_;
  }
  std::string refused_;
  int at_;
  int seen_ = 0;
  int lines_ = 0;
  int texts_ = 0;
};

struct PrintCase {
  int commands;  // of code 1 in segment 1
  std::string refused;
  int at;
  std::string warning;
  std::string log;  // the device's steps, comma-separated
};

class PrintOut : public testing::TestWithParam<PrintCase> {};

TEST_P(PrintOut, HandsPagesToThePrinterAndStopsAtARefusal) {
  const PrintCase& c = GetParam();
  ProgramImage image;
  image.fill(0xFF);
  for (int k = 0; k < c.commands; ++k) {
    image[CommandOffset(0, k)] = 1;
  }
  RecordingDevice device(c.refused, c.at);
  EXPECT_EQ(PrintPages(ListProgram(image, nullptr, {}), device), c.warning);
  std::string log;
  for (const std::string& step : device.log) {
    log += (log.empty() ? "" : ",") + step;
  }
  EXPECT_EQ(log, c.log);
}

// A page draws six lines of frame and rules and its header text, and the
// last page of a segment its closing rule. The pages themselves are the
// listing's (listing_test.cpp, page_drawing_test.cpp).
INSTANTIATE_TEST_SUITE_P(
    Printer, PrintOut,
    testing::Values(
        PrintCase{0, "", 0, "", "StartDoc,EndDoc"},
        PrintCase{58, "", 0, "",
                  "StartDoc,StartPage,draw 6/59,EndPage,StartPage,draw 7/1,"
                  "EndPage,EndDoc"},
        PrintCase{58, "StartDoc", 1, "StartDOC", "StartDoc"},
        PrintCase{58, "StartPage", 2, "StartPage",
                  "StartDoc,StartPage,draw 6/59,EndPage,StartPage"},
        PrintCase{58, "EndPage", 1, "EndPage",
                  "StartDoc,StartPage,draw 6/59,EndPage"},
        PrintCase{1, "EndDoc", 1, "EndDoc",
                  "StartDoc,StartPage,draw 7/2,EndPage,EndDoc"}));

TEST(PaperPitch, FiftyNineRowsAndTheClosingRuleFitTheFrame) {
  ListingPage page;
  page.rows.resize(kListingRowsPerPage + 1);
  page.closing_rule = true;
  const PageDrawing drawing = DrawListingPage(page, kPaperRowPitch);
  EXPECT_EQ(drawing.lines.back().y1, 440 + 59 * kPaperRowPitch - 3);
  EXPECT_LE(drawing.lines.back().y1, kPageFrameBottom);
}

}  // namespace
}  // namespace lumera
