#include "cli/cli_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumera {
namespace {

CliParseResult Parse(const std::vector<std::string_view>& args) {
  return ParseCliArguments(args);
}

struct AcceptCase {
  std::vector<std::string_view> args;
  CliCommand command;
  std::string file;
  std::vector<int> numbers;
};

class AcceptedCommandLine : public testing::TestWithParam<AcceptCase> {};

TEST_P(AcceptedCommandLine, GivesCommandFileAndNumbers) {
  const AcceptCase& c = GetParam();
  CliParseResult result = Parse(c.args);
  ASSERT_TRUE(result.invocation) << result.error;
  EXPECT_EQ(result.invocation->command, c.command);
  EXPECT_EQ(result.invocation->file, c.file);
  EXPECT_EQ(result.invocation->numbers, c.numbers);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AcceptedCommandLine,
    testing::Values(
        AcceptCase{{"ports"}, CliCommand::kPorts, "", {}},
        AcceptCase{{"upload", "a.prg"}, CliCommand::kUpload, "a.prg", {}},
        AcceptCase{{"--segment", "10", "download", "b.prg"},
                   CliCommand::kDownload,
                   "b.prg",
                   {}},
        AcceptCase{{"verify", "c.prg", "--segment=1"},
                   CliCommand::kVerify,
                   "c.prg",
                   {}},
        AcceptCase{
            {"config", "read", "k.prg"}, CliCommand::kConfigRead, "k.prg", {}},
        AcceptCase{{"config", "write", "k.prg"},
                   CliCommand::kConfigWrite,
                   "k.prg",
                   {}},
        AcceptCase{{"defaults", "--program"}, CliCommand::kDefaults, "", {}},
        AcceptCase{
            {"number", "write", "254"}, CliCommand::kNumberWrite, "", {254}},
        AcceptCase{
            {"number", "read", "--yes"}, CliCommand::kNumberRead, "", {}},
        AcceptCase{{"clock", "set"}, CliCommand::kClockSet, "", {}},
        AcceptCase{{"step", "--segment", "4"}, CliCommand::kStep, "", {}},
        AcceptCase{{"run", "10", "255"}, CliCommand::kRun, "", {10, 255}},
        AcceptCase{{"stop-at", "1", "1"}, CliCommand::kStopAt, "", {1, 1}},
        AcceptCase{{"tempo", "8"}, CliCommand::kTempo, "", {8}},
        AcceptCase{{"start", "16", "--index"}, CliCommand::kStart, "", {16}},
        AcceptCase{
            {"scan", "--from", "3", "--to", "3"}, CliCommand::kScan, "", {}},
        AcceptCase{{"list", "--entries-only", "x.prg"},
                   CliCommand::kList,
                   "x.prg",
                   {}},
        AcceptCase{
            {"--", "list", "--odd.prg"}, CliCommand::kList, "--odd.prg", {}},
        AcceptCase{{"print", "p.prg", "--pdf", "o.pdf", "--segment", "2",
                    "--entries-only"},
                   CliCommand::kPrint,
                   "p.prg",
                   {}},
        AcceptCase{{"radio-reset", "--radio"}, CliCommand::kRadioReset, "", {}},
        AcceptCase{{"upload", "--help"}, CliCommand::kHelp, "", {}}));

struct RejectCase {
  std::vector<std::string_view> args;
};

class RejectedCommandLine : public testing::TestWithParam<RejectCase> {};

TEST_P(RejectedCommandLine, IsAUsageErrorWithAReason) {
  CliParseResult result = Parse(GetParam().args);
  EXPECT_FALSE(result.invocation);
  EXPECT_FALSE(result.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, RejectedCommandLine,
    testing::Values(
        RejectCase{{}}, RejectCase{{"fly"}}, RejectCase{{"upload"}},
        RejectCase{{"upload", "a.prg", "b.prg"}},
        RejectCase{{"config", "erase", "a.prg"}}, RejectCase{{"config"}},
        RejectCase{{"number", "write"}}, RejectCase{{"number", "write", "0"}},
        RejectCase{{"number", "write", "255"}}, RejectCase{{"run", "11", "1"}},
        RejectCase{{"run", "1", "0"}}, RejectCase{{"run", "1", "256"}},
        RejectCase{{"run", "1"}}, RejectCase{{"tempo", "9"}},
        RejectCase{{"tempo", "-1"}}, RejectCase{{"tempo", "+3"}},
        RejectCase{{"start", "17"}}, RejectCase{{"tempo", "1x"}},
        RejectCase{{"--device", "0", "version"}},
        RejectCase{{"--device", "256", "version"}}, RejectCase{{"--device"}},
        RejectCase{{"version", "--device"}},
        RejectCase{{"--time", "256", "run", "1", "1"}},
        RejectCase{{"--timeout-ms", "0", "version"}},
        RejectCase{{"--target", "16,0,0", "version"}},
        RejectCase{{"--target", "15,15,241", "version"}},
        RejectCase{{"--target", "1,2", "version"}},
        RejectCase{{"--target", "1,2,3,4", "version"}},
        RejectCase{{"--target", "1,,3", "version"}},
        RejectCase{{"--port", "", "version"}},
        RejectCase{{"--segment", "0", "upload", "a.prg"}},
        RejectCase{{"--segment", "11", "upload", "a.prg"}},
        RejectCase{{"--segment", "1", "version"}},
        RejectCase{{"--segment", "1", "run", "1", "1"}},
        RejectCase{{"--entries-only", "upload", "a.prg"}},
        RejectCase{{"--program", "version"}},
        RejectCase{{"--index", "tempo", "1"}},
        RejectCase{{"--any-size", "download", "a.prg"}},
        RejectCase{{"scan", "--from", "0"}},
        RejectCase{{"scan", "--to", "255"}},
        RejectCase{{"scan", "--from", "9", "--to", "3"}},
        RejectCase{{"line-check", "--count", "0"}},
        RejectCase{{"scan", "--count", "5"}},
        RejectCase{{"--yes=1", "defaults"}}, RejectCase{{"print", "p.prg"}},
        RejectCase{{"print", "p.prg", "--pdf="}},
        RejectCase{{"list", "p.prg", "--pdf", "o.pdf"}},
        RejectCase{{"--bogus", "version"}}));

TEST(CliOptions, OverridesAreTakenAndUnsetOnesStayUnset) {
  CliParseResult plain = Parse({"version"});
  ASSERT_TRUE(plain.invocation);
  const CliOptions& defaults = plain.invocation->options;
  EXPECT_FALSE(defaults.port_number || defaults.port_path || defaults.device ||
               defaults.target);
  EXPECT_FALSE(defaults.timeout_ms);
  EXPECT_EQ(defaults.scan_from, 1);
  EXPECT_EQ(defaults.scan_to, 254);

  CliParseResult result = Parse(
      {"--port", "7", "--device=12", "--radio", "--target", "1,2,240", "--all",
       "--time", "255", "--timeout-ms", "150", "--yes", "run", "2", "3"});
  ASSERT_TRUE(result.invocation) << result.error;
  const CliOptions& o = result.invocation->options;
  EXPECT_EQ(o.port_number, 7);
  EXPECT_FALSE(o.port_path);
  EXPECT_EQ(o.device, 12);
  EXPECT_TRUE(o.radio);
  EXPECT_EQ(o.target, (std::array<int, 3>{1, 2, 240}));
  EXPECT_TRUE(o.all);
  EXPECT_EQ(o.time_byte, 255);
  EXPECT_EQ(o.timeout_ms, 150);
  EXPECT_TRUE(o.yes);
}

TEST(CliOptions, PortIsANumberOrADevicePathAndTheLastOneWins) {
  struct Case {
    std::vector<std::string_view> args;
    std::optional<int> number;
    std::optional<std::string> path;
  };
  const Case cases[] = {
      {{"--port", "3", "ports"}, 3, std::nullopt},
      {{"--port", "/dev/pts/4", "ports"}, std::nullopt, "/dev/pts/4"},
      {{"--port", "/dev/x", "--port", "12", "ports"}, 12, std::nullopt},
      {{"--port", "5", "--port=COM5", "ports"}, std::nullopt, "COM5"},
  };
  for (const Case& c : cases) {
    CliParseResult result = Parse(c.args);
    ASSERT_TRUE(result.invocation) << result.error;
    EXPECT_EQ(result.invocation->options.port_number, c.number);
    EXPECT_EQ(result.invocation->options.port_path, c.path);
  }
}

}  // namespace
}  // namespace lumera
