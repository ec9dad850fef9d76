#include "core/site/site_document.h"

#include <gtest/gtest.h>

#include <fstream>

namespace lumera {
namespace {

namespace fs = std::filesystem;

class SiteDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() /
        ("lumera-site-document-" +
         std::string(
             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir_ / "programs");
    for (const char* name : {"programs/a.prg", "programs/a-7.prg", "b.prg"}) {
      std::ofstream(dir_ / name) << "x";
    }
  }
  void TearDown() override { fs::remove_all(dir_); }

  SiteFile Parse(const std::string& text) const {
    const SiteParseResult result = ParseSite(text, dir_, false);
    EXPECT_TRUE(result.site) << text;
    return result.site.value_or(SiteFile{});
  }

  fs::path dir_;
};

// Two sites are one when every line serves the same controllers, with the
// same programs and targets, through the same port.
void ExpectSameSite(const SiteFile& a, const SiteFile& b) {
  ASSERT_EQ(a.lines.size(), b.lines.size());
  for (std::size_t i = 0; i < a.lines.size(); ++i) {
    const SiteLine& x = a.lines[i];
    const SiteLine& y = b.lines[i];
    EXPECT_EQ(x.name, y.name);
    EXPECT_EQ(x.port, y.port);
    EXPECT_EQ(x.radio_point, y.radio_point);
    ASSERT_EQ(x.controllers.size(), y.controllers.size()) << x.name;
    for (std::size_t c = 0; c < x.controllers.size(); ++c) {
      EXPECT_EQ(x.controllers[c].number, y.controllers[c].number);
      EXPECT_EQ(x.controllers[c].program, y.controllers[c].program);
      EXPECT_EQ(x.controllers[c].target, y.controllers[c].target);
    }
  }
}

// Files as people write them: comments before, between and inside the
// sections, ranges, own programs, radio targets, CR LF, odd spacing, and a
// last line without its end.
const char* const kFiles[] = {
    "# Hall A and B\n"
    "[line hala-a]\n"
    "port = tcp:192.0.2.10:4001\n"
    "controllers = 1-12, 20\n"
    "program = programs/a.prg\n"
    "# the pump has its own\n"
    "program.7 = programs/a-7.prg\n"
    "\n"
    "# Hall B, through the radio\n"
    "[line hala-b]\n"
    "port = /dev/ttyUSB1\n"
    "radio = point\n"
    "controllers = 3, 5\n"
    "target.3 = 15,15,16\n"
    "target.5 = 15,15,32\n"
    "program = b.prg\n",

    "[line a]\r\n"
    "port=COM3\r\n"
    "controllers=1-3,07\r\n"
    "program.02 = b.prg\r\n"
    "\r\n"
    "#end",

    "\t[ line  x ]\n"
    "  port =   rfc2217:host:2217  \n"
    "controllers = 254\n",
};

TEST_F(SiteDocumentTest, ReadShownAndWrittenBackIsTheSameFileAndSite) {
  for (const char* file : kFiles) {
    SCOPED_TRACE(file);
    SiteDocument document = SiteDocument::FromText(file);
    EXPECT_EQ(document.Text(), file);
    // What the table shows, typed back, is no change at all.
    for (int line = 0; line < document.LineCount(); ++line) {
      for (int cell = 0; cell < kSiteCellCount; ++cell) {
        const auto which = static_cast<SiteCell>(cell);
        EXPECT_EQ(document.SetCell(line, which, document.Cell(line, which)),
                  "");
      }
    }
    EXPECT_EQ(document.Text(), file);
    ExpectSameSite(Parse(document.Text()), Parse(file));
  }
}

struct EditCase {
  const char* name;
  const char* before;
  int line;
  SiteCell cell;
  const char* typed;
  const char* after;
};

TEST_F(SiteDocumentTest, EditRewritesOnlyItsKeysWhereTheyStood) {
  const std::vector<EditCase> cases = {
      {"port in place, in the file's own spacing",
       "# a\n[line a]\nport=COM1\n# b\ncontrollers = 1\n", 0, SiteCell::kPort,
       "tcp:10.0.0.5:4001",
       "# a\n[line a]\nport=tcp:10.0.0.5:4001\n# b\ncontrollers = 1\n"},
      {"name", "[line a]\nport = COM1\ncontrollers = 1\n", 0, SiteCell::kName,
       "hala-c", "[line hala-c]\nport = COM1\ncontrollers = 1\n"},
      {"an own program after the last key, before the next line's comment",
       "[line a]\nport = COM1\ncontrollers = 1-9\nprogram = b.prg\n\n"
       "# next\n[line b]\nport = COM2\ncontrollers = 1\n",
       0, SiteCell::kPrograms, "b.prg; 7=programs/a-7.prg",
       "[line a]\nport = COM1\ncontrollers = 1-9\nprogram = b.prg\n"
       "program.7 = programs/a-7.prg\n\n"
       "# next\n[line b]\nport = COM2\ncontrollers = 1\n"},
      {"an own program dropped, the comment above it stays",
       "[line a]\nport = COM1\ncontrollers = 1-9\nprogram = b.prg\n# own\n"
       "program.7 = programs/a-7.prg\n",
       0, SiteCell::kPrograms, "programs/a.prg",
       "[line a]\nport = COM1\ncontrollers = 1-9\nprogram = programs/a.prg\n"
       "# own\n"},
      {"targets bring the radio",
       "[line a]\r\nport = COM1\r\ncontrollers = 3, 5\r\n", 0,
       SiteCell::kTargets, "3=15,15,16;5 = 15,15,32",
       "[line a]\r\nport = COM1\r\ncontrollers = 3, 5\r\n"
       "target.3 = 15,15,16\r\ntarget.5 = 15,15,32\r\nradio = point\r\n"},
      {"no targets, no radio",
       "[line a]\nport = COM1\nradio = point\ncontrollers = 3\n"
       "target.3 = 1,1,1\n",
       0, SiteCell::kTargets, " ", "[line a]\nport = COM1\ncontrollers = 3\n"},
      {"a key to the end of a file without a last line end",
       "[line a]\nport = COM1", 0, SiteCell::kControllers, "1-4",
       "[line a]\nport = COM1\ncontrollers = 1-4\n"},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.name);
    SiteDocument document = SiteDocument::FromText(c.before);
    EXPECT_EQ(document.SetCell(c.line, c.cell, c.typed), "");
    EXPECT_EQ(document.Text(), c.after);
  }
}

TEST_F(SiteDocumentTest, RefusedTextChangesNothing) {
  const char* const file =
      "[line a]\nport = COM1\ncontrollers = 3\nprogram = b.prg\n";
  const std::vector<std::pair<SiteCell, const char*>> refused = {
      {SiteCell::kPrograms, "b.prg; programs/a.prg"},
      {SiteCell::kPrograms, "3=b.prg; 3=programs/a.prg"},
      {SiteCell::kTargets, "15,15,16"},
      {SiteCell::kPort, "COM1\n[line b]"},
  };
  for (const auto& [cell, typed] : refused) {
    SCOPED_TRACE(typed);
    SiteDocument document = SiteDocument::FromText(file);
    EXPECT_NE(document.SetCell(0, cell, typed), "");
    EXPECT_EQ(document.Text(), file);
  }
}

TEST_F(SiteDocumentTest, LinesAddedAndRemovedKeepTheOthersComments) {
  SiteDocument document = SiteDocument::FromText(
      "# site\n[line a]\nport = COM1\n# inside a\ncontrollers = 1\n"
      "# before b\n[line b]\nport = COM2\ncontrollers = 2\n");
  document.RemoveLine(0);
  const int added = document.AddLine("c");
  EXPECT_EQ(added, 1);
  EXPECT_EQ(document.SetCell(added, SiteCell::kPort, "COM3"), "");
  EXPECT_EQ(document.SetCell(added, SiteCell::kControllers, "4-5"), "");
  document.SetProgram(added, "b.prg");
  const std::string text = document.Text();
  EXPECT_EQ(text,
            "# site\n# before b\n[line b]\nport = COM2\ncontrollers = 2\n\n"
            "[line c]\nport = COM3\ncontrollers = 4-5\nprogram = b.prg\n");
  // A fault of the written text points back at its row of the table.
  EXPECT_EQ(document.LineOfText(2), -1);
  EXPECT_EQ(document.LineOfText(3), 0);
  EXPECT_EQ(document.LineOfText(6), 0);
  EXPECT_EQ(document.LineOfText(7), 1);
  EXPECT_EQ(document.LineOfText(11), -1);
  EXPECT_EQ(Parse(text).lines.at(1).controllers.at(1).program, dir_ / "b.prg");
}

}  // namespace
}  // namespace lumera
