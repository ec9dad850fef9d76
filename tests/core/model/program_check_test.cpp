// The program check's rules, one command at a time against a fixed program.
#include "core/model/program_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumera {
namespace {

struct CheckCase {
  Command command;   // put at segment 1, command 1
  const char* line;  // what the check says, "" for nothing
};

class ProgramCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ProgramCheckTest, FindsWhatTheRulesSay) {
  ProgramStore store;
  // Segment 3: four commands, the return third; segment 4 is empty.
  const Command segment3[] = {{1, 1, 5}, {1, 1, 5}, {28, 0, 0}, {1, 1, 5}};
  for (int k = 0; k < 4; ++k) store.SetCommand(2, k, segment3[k]);
  // Behind segment 5's list: not part of the program.
  store.SetCommand(4, 1, Command{22, 9, 0});
  store.SetCommand(0, 0, GetParam().command);
  std::vector<std::string> lines;
  for (const ProgramFinding& f : CheckProgram(store)) {
    lines.push_back(FindingLine(f));
  }
  const std::string expected = GetParam().line;
  EXPECT_EQ(lines, expected.empty() ? std::vector<std::string>{}
                                    : std::vector<std::string>{expected});
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProgramCheckTest,
    ::testing::Values(
        CheckCase{{22, 1, 0}, ""},
        CheckCase{{22, 2, 0},
                  "01:001 Odwołanie do komendy 2 za końcem segmentu 1 "
                  "(komend: 1)."},
        CheckCase{{25, 0, 3},
                  "01:001 Odwołanie do komendy 0 segmentu 1 - komendy liczy "
                  "się od 1."},
        CheckCase{{26, 9, 3},
                  "01:001 Odwołanie do komendy 9 za końcem segmentu 1 "
                  "(komend: 1)."},
        CheckCase{{24, 4, 3}, ""},
        CheckCase{{24, 5, 3},
                  "01:001 Odwołanie do komendy 5 za końcem segmentu 3 "
                  "(komend: 4)."},
        CheckCase{{24, 1, 11},
                  "01:001 Odwołanie do segmentu 11 - poza zakresem 1..10."},
        CheckCase{{33, 1, 0},
                  "01:001 Odwołanie do segmentu 0 - poza zakresem 1..10."},
        CheckCase{{27, 3, 3}, ""},
        CheckCase{{27, 4, 3},
                  "01:001 Brak \"Powrot z procedury\" w segmencie 3 od "
                  "komendy 4 do końca listy."},
        // An empty segment has no command to call: that is said first.
        CheckCase{{27, 1, 4},
                  "01:001 Odwołanie do komendy 1 za końcem segmentu 4 "
                  "(komend: 0)."},
        CheckCase{{33, 4, 3}, ""},  // a task needs no return
        CheckCase{{29, 200, 12}, ""}, CheckCase{{23, 200, 0}, ""}));

TEST(ProgramCheckLine, NumbersTheReferringCommandFromOne) {
  ProgramStore store;
  for (int k = 0; k < kCommandsPerSegment; ++k) {
    store.SetCommand(9, k, Command{1, 1, 5});
  }
  store.SetCommand(9, 254, Command{22, 0, 0});
  const std::vector<ProgramFinding> findings = CheckProgram(store);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(FindingLine(findings[0]),
            "10:255 Odwołanie do komendy 0 segmentu 10 - komendy liczy się "
            "od 1.");
}

}  // namespace
}  // namespace lumera
