#include "core/site/file/site_document.h"

#include <gtest/gtest.h>

namespace lumera {
namespace {

struct EditCase {
  const char* name;
  const char* before;
  int line;
  SiteCell cell;
  const char* typed;
  const char* after;
};

TEST(SiteDocumentTest, EditRewritesOnlyItsKeysWhereTheyStood) {
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
      {"a Polish name in a file that Notepad saved with its mark",
       "\xEF\xBB\xBF[line a]\r\nport = COM1\r\ncontrollers = 1\r\n", 0,
       SiteCell::kName, "hala-łódź",
       "\xEF\xBB\xBF[line hala-łódź]\r\nport = COM1\r\ncontrollers = 1\r\n"},
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

TEST(SiteDocumentTest, RefusedTextChangesNothing) {
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

TEST(SiteDocumentTest, LinesAddedAndRemovedKeepTheOthersComments) {
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
  EXPECT_EQ(document.FaultText({8, "numer sterownika poza 1..254"}),
            "Wiersz 2 (c): numer sterownika poza 1..254");
  EXPECT_EQ(document.FaultText({1, "brak linii"}), "brak linii");
  // A new line's name is its row's number, or the next one no line has.
  EXPECT_EQ(document.NewLineName(), "linia-3");
  document.AddLine("linia-3");
  EXPECT_EQ(document.NewLineName(), "linia-4");
}

}  // namespace
}  // namespace lumera
