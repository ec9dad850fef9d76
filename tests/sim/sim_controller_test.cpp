#include "sim/sim_controller.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "core/config/controller_config.h"

namespace lumera {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kNineFiveSeven = 9 * 3600 + 5 * 60 + 7;

// A controller whose clock reads `*now` seconds after midnight.
struct Harness {
  explicit Harness(std::uint8_t number = 1)
      : controller(FreshControllerState(number), [this] { return now; }) {}

  std::optional<Bytes> Ask(std::uint8_t code, const Bytes& payload = {}) {
    const auto reply = controller.Answer(code, payload);
    if (!reply) return std::nullopt;
    return Bytes(reply->View().begin(), reply->View().end());
  }
  // The data bytes of a reply (between the code and the sum).
  Bytes AskData(std::uint8_t code, const Bytes& payload = {}) {
    const auto reply = Ask(code, payload);
    EXPECT_TRUE(reply.has_value()) << "code " << int{code};
    if (!reply || reply->size() < 6) return {};
    return Bytes(reply->begin() + 5, reply->end() - 1);
  }

  int now = kNineFiveSeven;
  SimController controller;
};

Bytes Repeat(std::size_t count, std::uint8_t value) {
  return Bytes(count, value);
}

Bytes DefaultGeneralBlock() {
  Bytes block = {1, 1, 11, 21, 31, 41, 51, 61, 71};
  for (int i = 0; i < 10; ++i) block.push_back(30);
  for (int output = 0; output < 4; ++output) {
    block.insert(block.end(), {1, 0, 0});
  }
  block.push_back(75);
  return block;
}

Bytes Counting(std::size_t count, std::uint8_t first) {
  Bytes bytes(count);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

struct ReplyCase {
  const char* name;
  std::uint8_t code;
  Bytes payload;
  int reply_length;  // 0: no reply
  Bytes data;        // expected reply data
};

class ReplyTest : public testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyTest, FreshControllerAnswersWithFrameOfExpectedLengthAndData) {
  const ReplyCase& c = GetParam();
  Harness harness;
  const auto reply = harness.Ask(c.code, c.payload);
  if (c.reply_length == 0) {
    EXPECT_FALSE(reply.has_value());
    return;
  }
  ASSERT_TRUE(reply.has_value());
  ASSERT_EQ(reply->size(), static_cast<std::size_t>(c.reply_length));
  EXPECT_EQ((*reply)[0], 0x88);
  EXPECT_EQ((*reply)[2], 1) << "the answering controller's number";
  EXPECT_EQ((*reply)[3], c.reply_length - 4);
  EXPECT_EQ((*reply)[4], c.code);
  EXPECT_EQ(Bytes(reply->begin() + 5, reply->end() - 1), c.data);
  const auto sum = std::accumulate(reply->begin(), reply->end() - 1, 0u);
  EXPECT_EQ(static_cast<std::uint8_t>(sum), reply->back());
}

INSTANTIATE_TEST_SUITE_P(
    AllRequests, ReplyTest,
    testing::Values(
        ReplyCase{"RestartController", 0x40, {}, 0, {}},
        ReplyCase{"PauseProgram", 0x41, {}, 6, {}},
        ReplyCase{"ResumeProgram", 0x42, {}, 6, {}},
        ReplyCase{"StepCommand", 0x43, {0}, 6, {}},
        ReplyCase{"ReadPosition", 0x44, {}, 8, {0, 0}},
        ReplyCase{"ResetRadio", 0x45, {}, 0, {}},
        ReplyCase{"ReadControllerNumber", 0x47, {}, 7, {1}},
        ReplyCase{"WriteControllerNumber", 0x48, {7}, 6, {}},
        ReplyCase{"WriteCommand", 0x4D, {0, 0, 1, 2, 3}, 6, {}},
        ReplyCase{"ReadCommand", 0x4E, {9, 254}, 9, {0xFF, 0xFF, 0xFF}},
        ReplyCase{"LoadDefaults", 0x51, {1}, 6, {}},
        ReplyCase{"WriteConfiguration", 0x54, Repeat(32, 2), 6, {}},
        ReplyCase{"WriteStartPoints", 0x55, Repeat(32, 0), 6, {}},
        ReplyCase{"ReadConfiguration", 0x56, {}, 38, DefaultGeneralBlock()},
        ReplyCase{"ReadStartPoints", 0x57, {}, 38, Repeat(32, 0)},
        ReplyCase{"ReadHardwareInfo",
                  0x58,
                  {},
                  16,
                  {0, 0, 0, 0, 0, 0, 0xFF, 0, 0xF0, 0}},
        ReplyCase{"ReadErrorReport", 0x5A, {}, 10, {0, 0, 0, 0}},
        ReplyCase{"RunStartPointByIndex", 0x5B, {15}, 6, {}},
        ReplyCase{"SelectTempo", 0x5C, {7}, 6, {}},
        ReplyCase{"ReadVersion", 0x5D, {}, 7, {0x10}},
        ReplyCase{"RunFrom",
                  0x5E,
                  {1, 2, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 9},
                  0,
                  {}},
        ReplyCase{"StopProgram", 0x60, {}, 6, {}},
        ReplyCase{"ReadRegisters", 0x62, {}, 14, Repeat(8, 0)},
        ReplyCase{"SetStopPoint", 0x63, {0, 3}, 0, {}},
        ReplyCase{"WriteClock", 0x64, {0x12, 0x30, 0x00}, 9, {0x12, 0x30, 0}},
        ReplyCase{"ReadClock", 0x65, {0, 0, 0}, 9, {0x09, 0x05, 0x07}}),
    [](const auto& info) { return std::string(info.param.name); });

struct IgnoredCase {
  const char* name;
  std::uint8_t code;
  Bytes payload;
};

class IgnoredRequestTest : public testing::TestWithParam<IgnoredCase> {};

TEST_P(IgnoredRequestTest, MalformedRequestGetsNoReplyAndChangesNothing) {
  const IgnoredCase& c = GetParam();
  Harness harness;
  harness.Ask(0x4D, {3, 4, 5, 6, 7});  // something to lose
  const SimControllerState before = harness.controller.State();
  EXPECT_FALSE(harness.Ask(c.code, c.payload).has_value());
  const SimControllerState& after = harness.controller.State();
  EXPECT_EQ(after.image, before.image);
  EXPECT_EQ(after.position, before.position);
  EXPECT_EQ(after.stop_point, before.stop_point);
  EXPECT_EQ(after.running, before.running);
  EXPECT_EQ(after.tempo, before.tempo);
  EXPECT_EQ(after.clock_offset_seconds, before.clock_offset_seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, IgnoredRequestTest,
    testing::Values(
        IgnoredCase{"UnknownCode", 0x46, {}},
        IgnoredCase{"CodeBelowCatalogue", 0x00, {}},
        IgnoredCase{"PayloadOnReadVersion", 0x5D, {1}},
        IgnoredCase{"ShortWriteCommand", 0x4D, {0, 0, 1, 2}},
        IgnoredCase{"WriteCommandSegmentTen", 0x4D, {10, 0, 1, 2, 3}},
        IgnoredCase{"WriteCommandIndex255", 0x4D, {0, 255, 1, 2, 3}},
        IgnoredCase{"ReadCommandIndex255", 0x4E, {0, 255}},
        IgnoredCase{"StepIntoSegmentTen", 0x43, {10}},
        IgnoredCase{"ControllerNumberZero", 0x48, {0}},
        IgnoredCase{"ControllerNumberBroadcast", 0x48, {255}},
        IgnoredCase{"LoadDefaultsTwo", 0x51, {2}},
        IgnoredCase{"ShortConfiguration", 0x54, Repeat(31, 0)},
        IgnoredCase{"StartPointSixteen", 0x5B, {16}},
        IgnoredCase{"TempoEight", 0x5C, {8}},
        IgnoredCase{"RunFromSegmentTen", 0x5E, {10, 0, 0, 0, 0, 0, 0, 0, 0}},
        IgnoredCase{"StopPointIndex255", 0x63, {0, 255}},
        IgnoredCase{"WriteClockWithoutTime", 0x64, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimControllerTest, WritesAreReadBack) {
  Harness harness;
  harness.Ask(0x4D, {9, 254, 0x21, 0x05, 0x10});
  harness.Ask(0x4D, {0, 0, 0x01, 0x02, 0x03});
  EXPECT_EQ(harness.AskData(0x4E, {9, 254}), (Bytes{0x21, 0x05, 0x10}));
  EXPECT_EQ(harness.AskData(0x4E, {0, 0}), (Bytes{0x01, 0x02, 0x03}));
  EXPECT_EQ(harness.AskData(0x4E, {0, 1}), (Bytes{0xFF, 0xFF, 0xFF}));
  // The command lands where a program file keeps it.
  EXPECT_EQ(harness.controller.State().image[CommandOffset(9, 254)], 0x21);

  const Bytes general = Counting(32, 40);
  const Bytes starts = Counting(32, 100);
  harness.Ask(0x54, general);
  harness.Ask(0x55, starts);
  EXPECT_EQ(harness.AskData(0x56), general);
  EXPECT_EQ(harness.AskData(0x57), starts);
}

TEST(SimControllerTest, ConfigurationByteZeroIsTheNumberItAnswersTo) {
  Harness harness;
  harness.Ask(0x48, {42});
  EXPECT_EQ(harness.controller.Number(), 42);
  EXPECT_EQ(harness.AskData(0x47), Bytes{42});
  EXPECT_EQ(harness.AskData(0x56)[0], 42);

  Bytes general = DefaultGeneralBlock();
  general[0] = 17;
  harness.Ask(0x54, general);
  EXPECT_EQ(harness.controller.Number(), 17);
}

TEST(SimControllerTest, LoadDefaultsOneResetsConfigurationAndKeepsProgram) {
  Harness harness(9);
  harness.Ask(0x4D, {2, 3, 0x11, 0x22, 0x33});
  harness.Ask(0x54, Counting(32, 5));
  harness.Ask(0x55, Counting(32, 1));
  ASSERT_EQ(harness.Ask(0x51, {1})->size(), 6u);
  EXPECT_EQ(harness.controller.Number(), 1);
  EXPECT_EQ(harness.AskData(0x56), DefaultGeneralBlock());
  EXPECT_EQ(harness.AskData(0x57), Repeat(32, 0));
  EXPECT_EQ(harness.AskData(0x4E, {2, 3}), (Bytes{0x11, 0x22, 0x33}));
}

TEST(SimControllerTest, LoadDefaultsZeroAlsoErasesTheProgram) {
  Harness harness(9);
  harness.Ask(0x4D, {2, 3, 0x11, 0x22, 0x33});
  harness.Ask(0x4D, {9, 254, 0x01, 0x00, 0x00});
  harness.Ask(0x55, Counting(32, 1));
  ASSERT_TRUE(harness.Ask(0x51, {0}).has_value());
  EXPECT_EQ(harness.controller.Number(), 1);
  EXPECT_EQ(harness.AskData(0x57), Repeat(32, 0));
  const ProgramImage& image = harness.controller.State().image;
  for (std::size_t i = 0; i < kProgramBytes; ++i) {
    ASSERT_EQ(image[i], 0xFF) << "byte " << i;
  }
}

TEST(SimControllerTest, StepCommandWalksTheCommandListAndWraps) {
  Harness harness;
  // Segment 3 holds three commands; the fourth slot is empty.
  for (std::uint8_t i = 0; i < 3; ++i) harness.Ask(0x4D, {2, i, 0x01, i, 0});
  struct Step {
    std::uint8_t segment;
    Bytes position;  // after the step
  };
  const Step steps[] = {
      {2, {2, 0}},  // first step into another segment: its first command
      {2, {2, 1}}, {2, {2, 2}},
      {2, {2, 0}},               // past the last command: back to the first
      {2, {2, 1}}, {0, {0, 0}},  // another segment again
      {0, {0, 0}},               // an empty segment stays on its first slot
  };
  for (const Step& step : steps) {
    ASSERT_EQ(harness.Ask(0x43, {step.segment})->size(), 6u);
    EXPECT_EQ(harness.AskData(0x44), step.position);
  }
}

TEST(SimControllerTest, StepCommandWrapsAtTheLastSlotOfAFullSegment) {
  Harness harness;
  SimControllerState& state = harness.controller.MutableState();
  std::fill_n(state.image.begin() + CommandOffset(4, 0), kSegmentSize, 0x01);
  state.position = {4, 253};
  harness.Ask(0x43, {4});
  EXPECT_EQ(harness.AskData(0x44), (Bytes{4, 254}));
  harness.Ask(0x43, {4});
  EXPECT_EQ(harness.AskData(0x44), (Bytes{4, 0}));
}

TEST(SimControllerTest, RunRequestsMoveThePosition) {
  Harness harness;
  ControllerConfig(harness.controller.MutableState().image)
      .SetStartPoint(16, {7, 200});
  harness.Ask(0x5B, {15});
  EXPECT_EQ(harness.AskData(0x44), (Bytes{7, 200}));
  EXPECT_TRUE(harness.controller.State().running);

  harness.Ask(0x60);
  EXPECT_FALSE(harness.controller.State().running);
  harness.Ask(0x5E, {3, 9, 0x34, 0x12, 0x34, 0x12, 0x34, 0x12, 0});
  EXPECT_EQ(harness.AskData(0x44), (Bytes{3, 9}));
  EXPECT_TRUE(harness.controller.State().running);

  harness.Ask(0x63, {5, 6});
  EXPECT_EQ(harness.controller.State().stop_point, (SimPosition{5, 6}));
  harness.Ask(0x40);
  EXPECT_EQ(harness.AskData(0x44), (Bytes{0, 0}));
  EXPECT_FALSE(harness.controller.State().stop_point.has_value());
}

TEST(SimControllerTest, ReportedValuesComeFromTheState) {
  Harness harness;
  SimControllerState& state = harness.controller.MutableState();
  state.error_report = {2, 4, 17, 0x39};
  state.registers = {1, 2, 3, 4, 5, 6, 7, 0xFF};
  state.version = 0x23;
  state.hardware_info[kHardwareSwitchIndex] = 0x5A;
  state.hardware_info[kHardwareFlagsIndex] = 0x05;
  state.hardware_info[kHardwareOutputMaskIndex] = 0x30;
  EXPECT_EQ(harness.AskData(0x5A), (Bytes{2, 4, 17, 0x39}));
  EXPECT_EQ(harness.AskData(0x62), (Bytes{1, 2, 3, 4, 5, 6, 7, 0xFF}));
  EXPECT_EQ(harness.AskData(0x5D), Bytes{0x23});
  const Bytes hardware = harness.AskData(0x58);
  ASSERT_EQ(hardware.size(), 10u);
  // Reply bytes 11, 12 and 13 are where the system looks.
  EXPECT_EQ(hardware[6], 0x5A);
  EXPECT_EQ(hardware[7], 0x05);
  EXPECT_EQ(hardware[8], 0x30);
}

struct ClockCase {
  const char* name;
  Bytes written;
  int seconds_later;
  Bytes read;
};

class ClockTest : public testing::TestWithParam<ClockCase> {};

TEST_P(ClockTest, WrittenClockKeepsRunning) {
  const ClockCase& c = GetParam();
  Harness harness;
  harness.now = 20 * 3600;  // the computer's own time is not the answer
  const Bytes echoed = harness.AskData(0x64, c.written);
  harness.now += c.seconds_later;
  // ReadClock's payload is the caller's copy; the reply carries the clock.
  EXPECT_EQ(harness.AskData(0x65, {0x99, 0x99, 0x99}), c.read);
  if (c.seconds_later == 0) {
    EXPECT_EQ(echoed, c.read);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bcd, ClockTest,
    testing::Values(
        ClockCase{"Echo", {0x09, 0x05, 0x07}, 0, {0x09, 0x05, 0x07}},
        ClockCase{"MinuteCarry", {0x12, 0x59, 0x58}, 3, {0x13, 0x00, 0x01}},
        ClockCase{"Midnight", {0x23, 0x59, 0x59}, 1, {0x00, 0x00, 0x00}},
        ClockCase{
            "TimeBeforeSource", {0x00, 0x00, 0x10}, 5, {0x00, 0x00, 0x15}},
        // Not a time: the clock keeps the computer's time.
        ClockCase{"HourNotBcd", {0x0A, 0x00, 0x00}, 0, {0x20, 0x00, 0x00}},
        ClockCase{"Hour24", {0x24, 0x00, 0x00}, 0, {0x20, 0x00, 0x00}},
        ClockCase{"Second60", {0x10, 0x00, 0x60}, 0, {0x20, 0x00, 0x00}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumera
