#include "core/session/reply_apply.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/config/controller_config.h"
#include "core/session/workspace.h"

namespace lumera {
namespace {

using Bytes = std::vector<std::uint8_t>;

ReplyRecord Record(std::uint8_t request_code, const Bytes& payload,
                   std::uint8_t reply_code, const Bytes& data) {
  ReplyRecord record;
  record.request_code = request_code;
  record.payload_size = static_cast<std::uint8_t>(payload.size());
  std::copy(payload.begin(), payload.end(), record.payload.begin());
  record.reply.fill(0xFF);
  Bytes frame = {0x88, 0xFF, 0x01, static_cast<std::uint8_t>(data.size() + 2),
                 reply_code};
  frame.insert(frame.end(), data.begin(), data.end());
  std::uint8_t sum = 0;
  for (std::uint8_t b : frame) sum = static_cast<std::uint8_t>(sum + b);
  frame.push_back(sum);
  std::copy(frame.begin(), frame.end(), record.reply.begin());
  record.reply_length = static_cast<std::uint8_t>(frame.size());
  return record;
}

Bytes Counting(int n, int first) {
  Bytes out;
  for (int k = 0; k < n; ++k)
    out.push_back(static_cast<std::uint8_t>(first + k));
  return out;
}

struct ApplyCase {
  std::string name;
  ReplyRecord record;
  bool changes;
  std::function<void(const Workspace&)> check;
};

std::vector<ApplyCase> ApplyCases() {
  return {
      {"ReadCommandTakesThePlaceFromTheRequest",
       Record(78, {4, 200}, 78, {0x11, 0x22, 0x33}), true,
       [](const Workspace& w) {
         EXPECT_EQ(w.received.At(4, 200), (Command{0x11, 0x22, 0x33}));
         // Into the job's copy only, until the job ends well.
         EXPECT_EQ(w.store.CommandAt(4, 200), kEmptyCommand);
       }},
      {"ReplyCodeBitSevenIsIgnored",
       Record(78, {0, 0}, 0x80 | 78, {0x01, 0x02, 0x03}), true,
       [](const Workspace& w) {
         EXPECT_EQ(w.received.At(0, 0), (Command{1, 2, 3}));
       }},
      {"ReadPositionIsKept", Record(68, {}, 68, {4, 9}), true,
       [](const Workspace& w) {
         EXPECT_EQ(w.link.position_segment, 4);
         EXPECT_EQ(w.link.position_command, 9);
       }},
      {"ReadControllerNumberSetsItEverywhere", Record(71, {}, 71, {23}), true,
       [](const Workspace& w) {
         EXPECT_EQ(ConstControllerConfig(w.store.image()).ControllerNumber(),
                   23);
         EXPECT_EQ(w.config_page.new_controller_number, 23);
         EXPECT_EQ(w.settings.controller_address, 23);
       }},
      {"ReadConfigurationReplacesTheGeneralBlock",
       Record(86, {}, 86, Counting(32, 40)), true,
       [](const Workspace& w) {
         const ConstControllerConfig config(w.store.image());
         for (int k = 0; k < 32; ++k)
           EXPECT_EQ(config.GeneralBlock()[k], 40 + k);
         EXPECT_EQ(config.Marker(), 71);  // kept as received
         EXPECT_EQ(w.config_page.new_controller_number, 40);
         // The start points are another reply's.
         EXPECT_EQ(config.GetStartPoint(1), (StartPoint{0, 0}));
       }},
      {"ReadStartPointsReplacesTheStartPointBlock",
       Record(87, {}, 87, Counting(32, 1)), true,
       [](const Workspace& w) {
         const ConstControllerConfig config(w.store.image());
         EXPECT_EQ(config.GetStartPoint(1), (StartPoint{1, 2}));
         EXPECT_EQ(config.GetStartPoint(16), (StartPoint{31, 32}));
         EXPECT_EQ(config.ControllerNumber(), 1);
       }},
      {"ReadHardwareInfoFillsTheStatus", Record(88, {}, 88, Counting(10, 0xA0)),
       true,
       [](const Workspace& w) {
         EXPECT_EQ(w.status.switch_byte, 0xA6);
         EXPECT_EQ(w.status.flags, 0xA7);
         EXPECT_EQ(w.status.output_mask, 0xA8);
         EXPECT_EQ(w.link.hardware_info[9], 0xA9);
       }},
      {"ReadErrorReportMarksThePendingReport",
       Record(90, {}, 90, {1, 2, 3, 0x47}), true,
       [](const Workspace& w) {
         EXPECT_EQ(w.link.error_report.task, 1);
         EXPECT_EQ(w.link.error_report.segment, 2);
         EXPECT_EQ(w.link.error_report.command, 3);
         EXPECT_EQ(w.link.error_report.error_number, 0x47);
         EXPECT_TRUE(w.link.error_report.pending.load());
       }},
      {"ReadVersionSplitsTheNibbles", Record(93, {}, 93, {0x12}), true,
       [](const Workspace& w) {
         EXPECT_EQ(w.status.version_major, 1);
         EXPECT_EQ(w.status.version_minor, 2);
       }},
      {"ReadRegistersKeepsAllEight", Record(98, {}, 98, Counting(8, 200)), true,
       [](const Workspace& w) {
         EXPECT_EQ(w.link.registers[0], 200);
         EXPECT_EQ(w.link.registers[7], 207);
       }},
      {"AnAcknowledgementChangesNothing", Record(65, {}, 65, {}), false,
       [](const Workspace& w) {
         EXPECT_EQ(w.store.image(), Workspace().store.image());
       }},
      // A reply whose code promises more data than its frame holds must not
      // be read past its end.
      {"ShortReplyUnderALongerCodeIsIgnored", Record(93, {}, 86, {0x55}), false,
       [](const Workspace& w) {
         EXPECT_EQ(ConstControllerConfig(w.store.image()).ControllerNumber(),
                   1);
       }},
  };
}

TEST(ApplyReply, EachReplyCodeHasItsEffect) {
  for (const ApplyCase& c : ApplyCases()) {
    SCOPED_TRACE(c.name);
    Workspace workspace;
    EXPECT_EQ(ApplyReply(workspace, c.record), c.changes);
    c.check(workspace);
  }
}

TEST(PostProcessReply, WriteControllerNumberTakesTheNumberSent) {
  Workspace workspace;
  workspace.config_page.new_controller_number = 99;  // edited since
  ProgramImage& image = workspace.store.mutable_image();
  ControllerConfig(image).SetMarker(0);
  EXPECT_TRUE(PostProcessReply(workspace, Record(72, {12}, 72, {})));
  EXPECT_EQ(ControllerConfig(image).ControllerNumber(), 12);
  EXPECT_EQ(ControllerConfig(image).Marker(), 75);
  EXPECT_EQ(workspace.config_page.new_controller_number, 12);
  EXPECT_EQ(workspace.settings.controller_address, 1);
}

TEST(PostProcessReply, ClockRepliesSetTheClockCopy) {
  for (std::uint8_t code : {100, 101}) {
    Workspace workspace;
    EXPECT_TRUE(PostProcessReply(
        workspace, Record(code, {1, 2, 3}, code, {0x12, 0x30, 0x00})));
    EXPECT_EQ(workspace.config_page.clock_time, (ClockTime{0x12, 0x30, 0x00}));
  }
}

TEST(PostProcessReply, AnEmptyReplyBufferChangesNothing) {
  Workspace workspace;
  const ProgramImage image = workspace.store.image();
  const ClockTime clock = workspace.config_page.clock_time;
  ReplyRecord none;
  none.reply.fill(0xFF);
  EXPECT_FALSE(PostProcessReply(workspace, none));
  EXPECT_EQ(workspace.store.image(), image);
  EXPECT_EQ(workspace.config_page.clock_time, clock);
}

// A job's end puts what it read into the store only when it ended well and
// read every slot it asked for (a queue replaced part-way is no download);
// the comments of the slots read go with it, and a later job never replays
// an earlier one's reads.
TEST(EndReceivedProgram, ReplacesOnlyAWholeReadOfAJobThatEndedWell) {
  Workspace w;
  w.store.SetComment(1, 0, "czytany");
  w.store.SetComment(1, 5, "obok");
  auto job = [&w](int segment, int asked, int read, JobOutcome outcome) {
    for (int k = 0; k < asked; ++k) w.received.Ask(segment, k);
    w.received.JobStarted();
    for (int k = 0; k < read; ++k) {
      w.received.Receive(segment, k,
                         Command{1, 2, static_cast<std::uint8_t>(k)});
    }
    return EndReceivedProgram(w, outcome);
  };
  EXPECT_TRUE(
      job(0, 2, 2, {.failure = TransferFailure::kReplyChecksum}).none());
  EXPECT_TRUE(job(1, 3, 2, {}).none());
  EXPECT_EQ(job(1, 3, 3, {}), SegmentSet(0b10));
  EXPECT_EQ(w.store.CommandAt(1, 2), (Command{1, 2, 2}));
  EXPECT_EQ(w.store.Comment(1, 0), nullptr);
  EXPECT_NE(w.store.Comment(1, 5), nullptr);
  EXPECT_EQ(w.store.CommandAt(0, 0), kEmptyCommand);
  EXPECT_EQ(job(2, 0, 1, {}), SegmentSet(0b100));  // names no slot
}

}  // namespace
}  // namespace lumera
