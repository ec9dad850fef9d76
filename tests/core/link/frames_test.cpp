#include "core/link/frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "core/link/transfer_observer.h"
#include "support/fake_serial_port.h"
#include "support/reply_frames.h"

namespace lumera {
namespace {

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------------------
// Request frames on the wire, with and without the radio.

struct WireCase {
  std::string name;
  std::uint8_t destination;
  std::uint8_t length_byte;
  Bytes code_and_payload;
  RadioSettings radio;
  bool radio_box_mark;
  bool access_point_mark;
  Bytes wire;
};

class RequestOnWire : public testing::TestWithParam<WireCase> {};

TEST_P(RequestOnWire, BuildsAndWritesTheExactBytes) {
  const WireCase& c = GetParam();
  RequestFrame frame;
  ASSERT_TRUE(BuildRequestFrame(c.destination, c.length_byte,
                                c.code_and_payload, frame));
  EXPECT_EQ(frame.length, c.length_byte + 4);

  FakeSerialPort port;
  ASSERT_TRUE(port.Open("COM1"));
  RadioResetMarks marks;
  marks.radio_box = c.radio_box_mark;
  marks.access_point = c.access_point_mark;
  // The radio writer reports the frame's length, not the envelope's.
  EXPECT_EQ(WriteFrame(port, frame.View(), c.radio, marks), frame.length);
  ASSERT_EQ(port.writes.size(), 1u);
  EXPECT_EQ(port.writes[0], c.wire);
  if (c.radio.enabled) {
    // A mark lasts for one frame only.
    EXPECT_FALSE(marks.radio_box);
    EXPECT_FALSE(marks.access_point);
  }
}

constexpr RadioSettings kRadioOff{};
constexpr RadioSettings kRadioAll{true, RadioMode::kAll, 0x1234, 0x0A0B};
constexpr RadioSettings kRadioPoint{true, RadioMode::kPoint, 0x1234, 0x0A0B};

INSTANTIATE_TEST_SUITE_P(
    Frames, RequestOnWire,
    testing::Values(
        WireCase{"ReadVersionToController1",
                 1,
                 2,
                 {0x5D},
                 kRadioOff,
                 false,
                 false,
                 {0x88, 0xFF, 0x01, 0x02, 0x5D, 0xE7}},
        WireCase{"ReadCommandToController16",
                 16,
                 4,
                 {0x4E, 0x00, 0x05},
                 kRadioOff,
                 false,
                 false,
                 {0x88, 0xFF, 0x10, 0x04, 0x4E, 0x00, 0x05, 0xEE}},
        WireCase{"RadioAllWords",
                 1,
                 2,
                 {0x5D},
                 kRadioAll,
                 false,
                 false,
                 {0x10, 0x02, 0x09, 0x00, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                  0x88, 0xFF, 0x01, 0x02, 0x5D, 0xE7, 0x10, 0x03, 0xF1}},
        WireCase{
            "RadioPointDoublesTheDestination10",
            16,
            4,
            {0x4E, 0x00, 0x05},
            kRadioPoint,
            false,
            false,
            {0x10, 0x02, 0x09, 0x00, 0x34, 0x12, 0x34, 0x12, 0x34, 0x12, 0x88,
             0xFF, 0x10, 0x10, 0x04, 0x4E, 0x00, 0x05, 0xEE, 0x10, 0x03, 0xEC}},
        // Radio-box reset: type 02, words still by mode, no trailer.
        WireCase{"RadioBoxResetInAllMode",
                 1,
                 2,
                 {0x45},
                 kRadioAll,
                 true,
                 false,
                 {0x10, 0x02, 0x02, 0x00, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                  0x88, 0xFF, 0x01, 0x02, 0x45, 0xCF, 0x10, 0x03, 0xBA}},
        // Access-point reset: type 02, the access point's address even in
        // All mode, then "$$" after the checksum.
        WireCase{
            "AccessPointResetInAllMode",
            1,
            2,
            {0x45},
            kRadioAll,
            false,
            true,
            {0x10, 0x02, 0x02, 0x00, 0x0B, 0x0A, 0x0B, 0x0A, 0x0B, 0x0A, 0x88,
             0xFF, 0x01, 0x02, 0x45, 0xCF, 0x10, 0x03, 0x04, 0x24, 0x24}},
        // Neither mark changes a frame without the radio.
        WireCase{"MarksIgnoredWithoutRadio",
                 1,
                 2,
                 {0x5D},
                 kRadioOff,
                 true,
                 true,
                 {0x88, 0xFF, 0x01, 0x02, 0x5D, 0xE7}}),
    [](const testing::TestParamInfo<WireCase>& info) {
      return info.param.name;
    });

TEST(RequestFrame, MarksStaySetWhenTheRadioIsOff) {
  FakeSerialPort port;
  port.Open("COM1");
  RadioResetMarks marks;
  marks.access_point = true;
  const Bytes frame = {0x88, 0xFF, 0x01, 0x02, 0x45, 0xCF};
  WriteFrame(port, frame, kRadioOff, marks);
  EXPECT_TRUE(marks.access_point);
  // The next radio frame carries it, once.
  WriteFrame(port, frame, kRadioPoint, marks);
  WriteFrame(port, frame, kRadioPoint, marks);
  ASSERT_EQ(port.writes.size(), 3u);
  EXPECT_EQ(port.writes[1].back(), 0x24);
  EXPECT_EQ(port.writes[1][2], 0x02);
  EXPECT_EQ(port.writes[2][2], 0x09);
  EXPECT_NE(port.writes[2].back(), 0x24);
}

TEST(RequestFrame, RejectsLengthsOutsideTheFrame) {
  const Bytes body(40, 0x01);
  struct Case {
    std::uint8_t length_byte;
    std::size_t available;
    bool built;
  };
  const Case cases[] = {
      {0, 40, false}, {1, 40, false},  {2, 1, true},    {2, 0, false},
      {34, 33, true}, {34, 32, false}, {35, 40, false}, {255, 40, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int{c.length_byte});
    RequestFrame frame;
    frame.length = 99;
    EXPECT_EQ(BuildRequestFrame(1, c.length_byte,
                                std::span(body.data(), c.available), frame),
              c.built);
    EXPECT_EQ(frame.length, c.built ? c.length_byte + 4 : 0);
    if (c.built) {
      EXPECT_EQ(frame.bytes[frame.length - 1],
                FrameSum(std::span(frame.bytes.data(), frame.length - 1)));
    }
  }
}

TEST(RequestFrame, BroadcastAndFixedByteGoIntoTheHeader) {
  RequestFrame frame;
  const Bytes code = {0x47};
  ASSERT_TRUE(BuildRequestFrame(kBroadcastDestination, 2, code, frame));
  EXPECT_EQ(Bytes(frame.View().begin(), frame.View().end()),
            (Bytes{0x88, 0xFF, 0xFF, 0x02, 0x47, 0xCF}));
}

// ---------------------------------------------------------------------------
// Escaping: every 0x10 of the block doubled and counted twice, the frame
// inside unchanged.

TEST(RadioEnvelope, DoublesEvery10AndCountsItTwice) {
  struct Case {
    std::string name;
    RadioSettings radio;
    Bytes frame;
  };
  const RadioSettings tens{true, RadioMode::kPoint, 0x1010, 0x1010};
  const Case cases[] = {
      {"NoTens", kRadioPoint, {0x88, 0xFF, 0x01, 0x02, 0x5D, 0xE7}},
      {"TenInPayload",
       kRadioAll,
       {0x88, 0xFF, 0x01, 0x05, 0x4D, 0x10, 0x10, 0x10, 0x0A}},
      {"TensInAddressWords", tens, {0x88, 0xFF, 0x10, 0x02, 0x10, 0xA9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RadioResetMarks marks;
    RadioEnvelope envelope;
    ASSERT_TRUE(BuildRadioEnvelope(c.frame, c.radio, marks, envelope));
    const Bytes wire(envelope.View().begin(), envelope.View().end());

    // Expected envelope, built the slow way.
    Bytes block = {0x09, 0x00};
    const std::uint16_t w =
        c.radio.mode == RadioMode::kAll ? 0xFFFA : c.radio.target_address;
    const std::uint16_t words[3] = {
        w, c.radio.mode == RadioMode::kAll ? std::uint16_t{0xFFFF} : w,
        c.radio.mode == RadioMode::kAll ? std::uint16_t{0xFFFF} : w};
    for (std::uint16_t word : words) {
      block.push_back(word & 0xFF);
      block.push_back(word >> 8);
    }
    block.insert(block.end(), c.frame.begin(), c.frame.end());
    Bytes expected = {0x10, 0x02};
    for (std::uint8_t b : block) {
      expected.push_back(b);
      if (b == 0x10) expected.push_back(b);
    }
    expected.push_back(0x10);
    expected.push_back(0x03);
    expected.push_back(FrameSum(expected));
    EXPECT_EQ(wire, expected);

    // And the radio reader gets the frame back out of it.
    FakeSerialPort port;
    port.Open("COM1");
    port.Feed(wire);
    ReplyBuffer reply;
    std::atomic<bool> abort{false};
    const int r = static_cast<int>(c.frame.size());
    ASSERT_EQ(ReadRadioReply(port, reply, r, abort), r);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + r), c.frame);
  }
}

// ---------------------------------------------------------------------------
// Write failures.

TEST(WriteFrame, ReportsFailuresAndShortWrites) {
  const Bytes frame = {0x88, 0xFF, 0x01, 0x02, 0x5D, 0xE7};
  struct Case {
    std::string name;
    RadioSettings radio;
    Bytes frame;
    bool port_fails;
    int short_write;
    int expected;
  };
  const Case cases[] = {
      {"EmptyFrame", kRadioOff, {}, false, -1, kEmptyFrame},
      {"PortFails", kRadioOff, frame, true, -1, kFrameWriteFailed},
      {"DirectShortWriteIsPassedOn", kRadioOff, frame, false, 4, 4},
      {"RadioPortFails", kRadioAll, frame, true, -1, kFrameWriteFailed},
      // Part of the envelope is as bad as none of it.
      {"RadioShortEnvelope", kRadioAll, frame, false, 18, kFrameWriteFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSerialPort port;
    port.Open("COM1");
    if (c.port_fails) port.fail_at = FakeSerialPort::FailAt::kWrite;
    port.short_write = c.short_write;
    RadioResetMarks marks;
    EXPECT_EQ(WriteFrame(port, c.frame, c.radio, marks), c.expected);
  }
}

// ---------------------------------------------------------------------------
// The direct reader and the reply check.

struct DirectCase {
  std::string name;
  std::vector<ReadResult> incoming;
  int expected_length;  // R
  int count;
  ReplyCheck check;
  Bytes reply_head;  // expected start of the reply buffer
  std::size_t left_unread;
};

class DirectReader : public testing::TestWithParam<DirectCase> {};

TEST_P(DirectReader, ReadsCountsAndChecks) {
  const DirectCase& c = GetParam();
  FakeSerialPort port;
  port.Open("COM1");
  port.incoming.assign(c.incoming.begin(), c.incoming.end());
  ReplyBuffer reply;
  reply.fill(0xFF);
  std::atomic<bool> abort{false};
  const int count = ReadReply(port, kRadioOff, reply, c.expected_length, abort);
  EXPECT_EQ(count, c.count);
  EXPECT_EQ(CheckReply(reply, count, c.expected_length), c.check);
  EXPECT_EQ(Bytes(reply.begin(), reply.begin() + c.reply_head.size()),
            c.reply_head);
  // The reader stops at the end of the frame.
  EXPECT_EQ(port.incoming.size(), c.left_unread);
}

const Bytes kVersionReply =
    FramedReply(0x88, 0x00, 0x01, 0x5D, {0x01, 0x02, 0x03});
const Bytes kVersionReply89 =
    FramedReply(0x89, 0x00, 0x01, 0x5D, {0x01, 0x02, 0x03});
const Bytes kBadSumReply = {0x88, 0x00, 0x01, 0x05, 0x5D,
                            0x01, 0x02, 0x03, 0x00};

INSTANTIATE_TEST_SUITE_P(
    Frames, DirectReader,
    testing::Values(
        DirectCase{"SoundReply", In(Concat({kVersionReply, {0xAA, 0xBB}})), 9,
                   9, ReplyCheck::kAccepted, kVersionReply, 2},
        DirectCase{"StartByte89", In(kVersionReply89), 9, 9,
                   ReplyCheck::kAccepted, kVersionReply89, 0},
        // Stray bytes are dropped but counted: the reply fails.
        DirectCase{"StrayBytesBeforeReply",
                   In(Concat({{0x00, 0x55}, kVersionReply})), 9, 11,
                   ReplyCheck::kTooShort, kVersionReply, 0},
        // A zero length byte is no frame: hunting starts over.
        DirectCase{"ZeroLengthResumesHunting",
                   In(Concat({{0x88, 0x00, 0x01, 0x00}, kVersionReply})), 9, 13,
                   ReplyCheck::kTooShort, kVersionReply, 0},
        DirectCase{"BadChecksum", In(kBadSumReply), 9, 9,
                   ReplyCheck::kBadChecksum, kBadSumReply, 0},
        DirectCase{"TimeOutMidFrame",
                   In({0x88, 0x00, 0x01, 0x05, 0x5D},
                      {FakeSerialPort::Timeout(), FakeSerialPort::Byte(1)}),
                   9,
                   5,
                   ReplyCheck::kTooShort,
                   {0x88, 0x00, 0x01, 0x05},
                   1},
        DirectCase{"NothingAtAll", {}, 9, 0, ReplyCheck::kTooShort, {}, 0},
        DirectCase{"LongerThanExpected",
                   In(FramedReply(0x88, 0x00, 0x01, 0x5D, {1, 2, 3, 4})),
                   9,
                   10,
                   ReplyCheck::kTooShort,
                   {0x88},
                   0},
        // L = 1: the code byte ends the frame; nothing more is read.
        DirectCase{"LengthOneEndsAtTheCode",
                   In({0x88, 0x00, 0x01, 0x01, 0x8A, 0x77, 0x66}),
                   5,
                   5,
                   ReplyCheck::kAccepted,
                   {0x88, 0x00, 0x01, 0x01, 0x8A},
                   2},
        // The largest length byte fills the buffer without running past it.
        DirectCase{"LengthByte255",
                   In(Concat({{0x88, 0x00, 0x01, 0xFF}, Bytes(255, 0x00)})),
                   9,
                   259,
                   ReplyCheck::kTooShort,
                   {0x88, 0x00, 0x01, 0xFF},
                   0},
        DirectCase{"ReadFailure",
                   In({0x88, 0x00}, {FakeSerialPort::Failure()}),
                   9,
                   kReplyReadFailed,
                   ReplyCheck::kTooShort,
                   {0x88},
                   0}),
    [](const testing::TestParamInfo<DirectCase>& info) {
      return info.param.name;
    });

// The worker's check of a read: the count alone can be made up by stray
// bytes, or a frame cut short, with the rest taken from what an earlier
// reply left in the buffer (found by fuzz_direct_reply).
TEST(CheckReadReply, AcceptsOnlyAWholeFrameOfTheExpectedLength) {
  const Bytes previous = FramedReply(0x88, 0x00, 0x01, 0x4E, {1, 2, 3});
  struct Case {
    std::string name;
    Bytes line;  // then silence
    int expected;
    ReplyCheck check;
  };
  const Case cases[] = {
      {"Sound", FramedReply(0x88, 0x00, 0x01, 0x4E, {4, 5, 6}), 9,
       ReplyCheck::kAccepted},
      {"BadSum",
       {0x88, 0x00, 0x01, 0x05, 0x4E, 4, 5, 6, 0},
       9,
       ReplyCheck::kBadChecksum},
      // Length 93 announced, silence after 7 bytes whose sum fits.
      {"CutShortWithFittingSum",
       {0x88, 0xFF, 0x01, 0x5D, 0x03, 0x10, 0xF8},
       7,
       ReplyCheck::kTooShort},
      // Noise of exactly R bytes: the earlier reply is still in the buffer.
      {"NoiseOfTheExpectedLength", Bytes(9, 0x55), 9, ReplyCheck::kTooShort},
      // A stray byte and a frame one byte short of R: the buffer's last
      // byte is the earlier reply's sum.
      {"StrayAndShorterFrame",
       Concat({{0x00}, FramedReply(0x88, 0x00, 0x01, 0x4E, {0x90, 0x06})}), 9,
       ReplyCheck::kTooShort},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSerialPort port;
    port.Open("COM1");
    port.Feed(c.line);
    ReplyBuffer reply;
    reply.fill(0xFF);
    std::copy(previous.begin(), previous.end(), reply.begin());
    std::atomic<bool> abort{false};
    bool complete = false;
    const int count =
        ReadReply(port, kRadioOff, reply, c.expected, abort, complete);
    EXPECT_EQ(CheckReadReply(reply, count, c.expected, complete), c.check);
  }
}

TEST(ReplyCode, IgnoresBit7) {
  const struct {
    std::uint8_t code_byte;
    std::uint8_t code;
  } cases[] = {{0x5D, 0x5D}, {0xDD, 0x5D}, {0x80, 0x00}, {0xFF, 0x7F}};
  for (const auto& c : cases) {
    FakeSerialPort port;
    port.Open("COM1");
    port.Feed(FramedReply(0x88, 0x00, 0x01, c.code_byte, {0x01}));
    ReplyBuffer reply;
    ASSERT_EQ(ReadDirectReply(port, reply), 7);
    EXPECT_EQ(CheckReply(reply, 7, 7), ReplyCheck::kAccepted);
    // The worker hands the frame on as it was read.
    ReplyRecord record;
    std::copy_n(reply.begin(), 7, record.reply.begin());
    EXPECT_EQ(record.reply_code(), c.code);
  }
}

TEST(ReplyCheck, Texts) {
  EXPECT_EQ(ReplyCheckText(ReplyCheck::kTooShort),
            "Błąd odczytu pakietu: pakiet za krótki !");
  EXPECT_EQ(ReplyCheckText(ReplyCheck::kBadChecksum), "Błąd sumy kontrolnej !");
  EXPECT_TRUE(ReplyCheckText(ReplyCheck::kAccepted).empty());
  // An expected length outside the buffer is never accepted.
  ReplyBuffer reply{};
  EXPECT_EQ(CheckReply(reply, 0, 0), ReplyCheck::kTooShort);
  EXPECT_EQ(CheckReply(reply, 301, 301), ReplyCheck::kTooShort);
}

}  // namespace
}  // namespace lumera
