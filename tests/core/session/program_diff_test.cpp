// The differences between two programs, as the diff command lists them.
#include "core/session/program_diff.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/config/controller_config.h"

namespace lumera {
namespace {

std::vector<std::string> Lines(const ProgramStore& a, const ProgramStore& b,
                               const ProgramDiffScope& scope) {
  std::vector<std::string> lines;
  for (const ProgramDifference& d : DiffPrograms(a, b, scope)) {
    lines.push_back(FormatDifference(d));
  }
  return lines;
}

void FillBoth(ProgramStore& a, ProgramStore& b) {
  for (ProgramStore* store : {&a, &b}) {
    for (int segment = 0; segment < kSegmentCount; ++segment) {
      for (int k = 0; k < 5; ++k) {
        store->SetCommand(segment, k, Command{1, 1, 5});
      }
    }
    store->SetComment(2, 1, "ten sam");
    for (std::uint8_t& byte : store->MutableConfigBytes()) byte = 0;
  }
}

struct DiffCase {
  const char* name;
  std::function<void(ProgramStore& b)> change;
  ProgramDiffScope scope;
  std::vector<std::string> lines;
};

class ProgramDiffTest : public ::testing::TestWithParam<DiffCase> {};

TEST_P(ProgramDiffTest, ListsEachDifferenceOnce) {
  const DiffCase& c = GetParam();
  ProgramStore a;
  ProgramStore b;
  FillBoth(a, b);
  c.change(b);
  EXPECT_EQ(Lines(a, b, c.scope), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ProgramDiffTest,
    ::testing::Values(
        DiffCase{"Equal", [](ProgramStore&) {}, {}, {}},
        DiffCase{"EmptyCommentIsNoComment",
                 [](ProgramStore& b) { b.SetComment(4, 0, ""); },
                 {},
                 {}},
        DiffCase{"Command",
                 [](ProgramStore& b) {
                   b.SetCommand(2, 16, Command{14, 0, 0});
                   b.SetCommand(0, 4, kEmptyCommand);
                 },
                 {},
                 {"1/5: 01,01,05 → FF,FF,FF (Włącz wskazane wyjście → -)",
                  "3/17: FF,FF,FF → 0E,00,00 (- → Wygaś wszystkie wyjścia)"}},
        DiffCase{"Comment",
                 [](ProgramStore& b) {
                   b.SetComment(2, 1, "inny \"cytat\"");
                   b.SetComment(9, 254, "nowy");
                 },
                 {},
                 {"3/2 komentarz: \"ten sam\" → \"inny \\\"cytat\\\"\"",
                  "10/255 komentarz: \"\" → \"nowy\""}},
        DiffCase{"ConfigurationByte",
                 [](ProgramStore& b) {
                   b.MutableConfigBytes()[TempoMultiplierByte(3)] = 0x63;
                   b.MutableConfigBytes()[StartPointCommandByte(2)] = 7;
                 },
                 {},
                 {"konfiguracja/3: 00 → 63 (Mnożnik tempa 3)",
                  "konfiguracja/35: 00 → 07 (Start Punkt 2 komenda)"}},
        DiffCase{"SegmentScopeLeavesOutTheRest",
                 [](ProgramStore& b) {
                   b.SetCommand(0, 0, Command{14, 0, 0});
                   b.SetCommand(1, 0, Command{14, 0, 0});
                   b.MutableConfigBytes()[0] = 9;
                 },
                 {.segment = 2},
                 {"2/1: 01,01,05 → 0E,00,00 (Włącz wskazane wyjście → "
                  "Wygaś wszystkie wyjścia)"}},
        DiffCase{
            "ControllerScopeSkipsCommentsAndSegment10",
            [](ProgramStore& b) {
              b.SetComment(0, 0, "x");
              b.SetCommand(9, 0, kEmptyCommand);
              b.MutableConfigBytes()[kMarkerByte] = kConfigMarker;
            },
            {.segment = std::nullopt, .last_segment = 9, .comments = false},
            {"konfiguracja/31: 00 → 4B (Znacznik konfiguracji)"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A slot a read did not reach differs even where the program holds nothing
// there: a copy that was never filled does not pass for the controller's.
TEST(DiffReceived, ASlotNotReadNeverMatches) {
  ProgramStore expected;
  expected.SetCommand(0, 0, Command{1, 1, 5});
  expected.SetCommand(0, 1, Command{1, 1, 5});
  ReceivedProgram read;
  read.Receive(0, 0, Command{1, 1, 5});
  read.Receive(0, 1, Command{1, 1, 6});
  read.Receive(1, 0, Command{9, 9, 9});  // outside the slots compared
  SlotCounts slots{};
  slots[0] = 3;
  const std::vector<ProgramDifference> d = DiffReceived(expected, read, slots);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].kind, DifferenceKind::kCommand);
  EXPECT_EQ(d[0].b, (Command{1, 1, 6}));
  EXPECT_EQ(FormatDifference(d[1]), "1/3: FF,FF,FF → nie odczytano");
}

}  // namespace
}  // namespace lumera
