#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_controller.h"

namespace lumera {
namespace {

struct OptionsCase {
  const char* name;
  std::vector<std::string_view> args;
  bool accepted;
  std::vector<std::uint8_t> numbers = {};
};

class SimOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(SimOptionsTest, AcceptsOnlyWellFormedCommandLines) {
  const OptionsCase& c = GetParam();
  std::string error;
  const auto options = ParseSimOptions(c.args, error);
  ASSERT_EQ(options.has_value(), c.accepted) << error;
  if (options) {
    EXPECT_EQ(options->numbers, c.numbers);
  } else {
    EXPECT_FALSE(error.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SimOptionsTest,
    testing::Values(
        OptionsCase{"Nothing", {}, true},
        OptionsCase{"OneNumber", {"--number", "7"}, true, {7}},
        OptionsCase{
            "RepeatedNumbers", {"--number", "3", "--number=5"}, true, {3, 5}},
        OptionsCase{"CommaList", {"--number", "1,254,9"}, true, {1, 254, 9}},
        OptionsCase{"NumberZero", {"--number", "0"}, false},
        OptionsCase{"NumberBroadcast", {"--number", "255"}, false},
        OptionsCase{"SameNumberTwice", {"--number", "4,4"}, false},
        OptionsCase{"EmptyListItem", {"--number", "4,"}, false},
        OptionsCase{"NumberWithText", {"--number", "4x"}, false},
        OptionsCase{"MissingValue", {"--number"}, false},
        OptionsCase{"EverythingElse",
                    {"--radio", "--com", "201", "--device", "/dev/ttyS0",
                     "--baud", "38400", "--log", "--state", "a.prg"},
                    true},
        OptionsCase{"ComZero", {"--com", "0"}, false},
        OptionsCase{"BaudZero", {"--baud", "0"}, false},
        OptionsCase{"BaudText", {"--baud", "fast"}, false},
        OptionsCase{"ValueOnFlag", {"--radio=1"}, false},
        OptionsCase{"UnknownOption", {"--verbose"}, false},
        OptionsCase{"StrayArgument", {"COM3"}, false},
        OptionsCase{"StatePerController",
                    {"--number", "1,2", "--state", "a", "--state", "b"},
                    true,
                    {1, 2}},
        OptionsCase{"OneStateForTwoControllers",
                    {"--number", "1,2", "--state", "a"},
                    false},
        OptionsCase{"EmptyStateName", {"--state="}, false},
        OptionsCase{"Reported",
                    {"--firmware", "15.0", "--switch", "0x7f", "--flags", "4",
                     "--output-mask=0", "--error", "1,2,3,0x1A", "--registers",
                     "0,1,2,3,4,5,6,255"},
                    true},
        OptionsCase{"FirmwareMinor16", {"--firmware", "1.16"}, false},
        OptionsCase{"FirmwareWithoutDot", {"--firmware", "12"}, false},
        OptionsCase{"SwitchOver255", {"--switch", "256"}, false},
        OptionsCase{"HexOver255", {"--flags", "0x100"}, false},
        OptionsCase{"BareHexPrefix", {"--flags", "0x"}, false},
        OptionsCase{"ErrorThreeBytes", {"--error", "1,2,3"}, false},
        OptionsCase{"ErrorFiveBytes", {"--error", "1,2,3,4,5"}, false},
        OptionsCase{"RegistersTrailingComma",
                    {"--registers", "1,2,3,4,5,6,7,8,"},
                    false},
        OptionsCase{"Fault",
                    {"--fault", "pause", "--fault-at=3", "--fault-ms", "500"},
                    true},
        OptionsCase{"UnknownFault", {"--fault", "noise"}, false},
        OptionsCase{
            "FaultAtZero", {"--fault", "cut", "--fault-at", "0"}, false},
        OptionsCase{"FaultMsNegative", {"--fault-ms", "-1"}, false},
        OptionsCase{"FaultNumber255", {"--fault-number", "255"}, false},
        OptionsCase{"Latency", {"--latency", "16"}, true},
        OptionsCase{"LatencyOverASecond", {"--latency", "1001"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimOptionsTest, ValuesLandInTheirFields) {
  std::string error;
  const std::vector<std::string_view> args{
      "--radio", "--com=207", "--device", "/dev/ttyUSB1",
      "--baud",  "9600",      "--state",  "x.prg"};
  const auto options = ParseSimOptions(args, error);
  ASSERT_TRUE(options.has_value()) << error;
  EXPECT_TRUE(options->radio);
  EXPECT_EQ(options->com, 207);
  EXPECT_EQ(options->device, "/dev/ttyUSB1");
  EXPECT_EQ(options->baud, 9600);
  EXPECT_EQ(options->state_files, std::vector<std::string>{"x.prg"});
  EXPECT_FALSE(options->log);
}

TEST(SimOptionsTest, ReportedValuesReachTheReplies) {
  std::string error;
  const std::vector<std::string_view> args{
      "--firmware", "2.3",         "--switch",      "0x5A",
      "--flags",    "5",           "--output-mask", "0x30",
      "--error",    "1,2,17,0x39", "--registers",   "8,7,6,5,4,3,2,1"};
  const auto options = ParseSimOptions(args, error);
  ASSERT_TRUE(options.has_value()) << error;
  SimControllerState state = FreshControllerState();
  ApplyReportedValues(*options, state);
  SimController controller(state, [] { return 0; });
  auto data = [&controller](std::uint8_t code) {
    const auto reply = controller.Answer(code, {});
    EXPECT_TRUE(reply.has_value());
    if (!reply) return std::vector<std::uint8_t>{};
    return std::vector<std::uint8_t>(reply->View().begin() + 5,
                                     reply->View().end() - 1);
  };
  EXPECT_EQ(data(0x5D), std::vector<std::uint8_t>{0x23});
  EXPECT_EQ(data(0x58),
            (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0x5A, 5, 0x30, 0}));
  EXPECT_EQ(data(0x5A), (std::vector<std::uint8_t>{1, 2, 17, 0x39}));
  EXPECT_EQ(data(0x62), (std::vector<std::uint8_t>{8, 7, 6, 5, 4, 3, 2, 1}));
}

}  // namespace
}  // namespace lumera
