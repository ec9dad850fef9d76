#include "sim/sim_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/link/frames.h"

namespace lumera {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The system's side of the line in memory: the link's own readers take the
// controller's answer from here, so a reply they accept is one the system
// accepts.
class BytePort : public SerialPort {
 public:
  explicit BytePort(const Bytes& bytes) : bytes_(bytes.begin(), bytes.end()) {}
  bool Open(std::string_view) override { return true; }
  bool SetBuffers(int, int) override { return true; }
  bool SetLine(const LineSettings&) override { return true; }
  bool SetTimeouts(const SerialTiming&) override { return true; }
  void Purge() override {}
  int Write(std::span<const std::uint8_t> bytes) override {
    return static_cast<int>(bytes.size());
  }
  ReadResult ReadByte() override {
    if (bytes_.empty()) return {ReadStatus::kTimeout, 0};
    const std::uint8_t byte = bytes_.front();
    bytes_.pop_front();
    return {ReadStatus::kByte, byte};
  }
  void Close() override {}
  bool IsOpen() const override { return true; }
  const PortFailure& LastFailure() const override { return failure_; }

 private:
  std::deque<std::uint8_t> bytes_;
  PortFailure failure_;
};

Bytes Request(std::uint8_t destination, std::uint8_t code,
              const Bytes& payload = {}) {
  Bytes body{code};
  body.insert(body.end(), payload.begin(), payload.end());
  RequestFrame frame;
  EXPECT_TRUE(BuildRequestFrame(
      destination, static_cast<std::uint8_t>(body.size() + 1), body, frame));
  return Bytes(frame.View().begin(), frame.View().end());
}

Bytes Envelope(const Bytes& frame, RadioMode mode, std::uint16_t target) {
  RadioSettings radio;
  radio.enabled = true;
  radio.mode = mode;
  radio.target_address = target;
  RadioResetMarks marks;
  RadioEnvelope envelope;
  EXPECT_TRUE(BuildRadioEnvelope(frame, radio, marks, envelope));
  return Bytes(envelope.View().begin(), envelope.View().end());
}

SimLine MakeLine(const std::vector<std::uint8_t>& numbers, bool radio) {
  std::vector<SimController> controllers;
  for (const std::uint8_t number : numbers) {
    controllers.emplace_back(FreshControllerState(number), [] { return 0; });
  }
  return SimLine(std::move(controllers), radio);
}

// What the system's direct reader and check make of the line's answer.
struct Received {
  int count = 0;
  ReplyCheck check = ReplyCheck::kTooShort;
  ReplyBuffer reply{};
};

Received ReadDirect(const Bytes& sent, int expected) {
  BytePort port(sent);
  Received received;
  received.reply.fill(0xFF);
  received.count = ReadDirectReply(port, received.reply);
  received.check = CheckReply(received.reply, received.count, expected);
  return received;
}

struct AddressCase {
  const char* name;
  std::vector<std::uint8_t> numbers;
  std::uint8_t destination;
  enum { kNone, kOne, kCollision } outcome;
  std::uint8_t answering = 0;
};

class AddressingTest : public testing::TestWithParam<AddressCase> {};

TEST_P(AddressingTest, OnlyTheAddressedControllerAnswers) {
  const AddressCase& c = GetParam();
  SimLine line = MakeLine(c.numbers, false);
  const Bytes sent = line.Receive(Request(c.destination, 0x47));
  switch (c.outcome) {
    case AddressCase::kNone:
      EXPECT_TRUE(sent.empty());
      break;
    case AddressCase::kOne: {
      const Received got = ReadDirect(sent, 7);
      ASSERT_EQ(got.check, ReplyCheck::kAccepted);
      EXPECT_EQ(got.reply[5], c.answering);
      break;
    }
    case AddressCase::kCollision: {
      ASSERT_FALSE(sent.empty());
      EXPECT_NE(ReadDirect(sent, 7).check, ReplyCheck::kAccepted);
      // Not even a frame start or an envelope opening survives.
      for (const std::uint8_t byte : sent) {
        EXPECT_NE(byte, 0x88);
        EXPECT_NE(byte, 0x89);
        EXPECT_NE(byte, 0x10);
      }
      break;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AddressingTest,
    testing::Values(
        AddressCase{"OwnNumber", {1}, 1, AddressCase::kOne, 1},
        AddressCase{"OtherNumber", {1}, 2, AddressCase::kNone},
        AddressCase{"BroadcastToOne", {7}, 255, AddressCase::kOne, 7},
        AddressCase{"SecondOfThree", {3, 5, 9}, 5, AddressCase::kOne, 5},
        AddressCase{"NoneOfThree", {3, 5, 9}, 4, AddressCase::kNone},
        AddressCase{"BroadcastToTwo", {3, 5}, 255, AddressCase::kCollision},
        AddressCase{
            "BroadcastToThree", {3, 5, 9}, 255, AddressCase::kCollision}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimLineTest, CollisionOfIdenticalAnswersIsStillGarbage) {
  // Equal replies must not add up to a valid one.
  const Bytes reply = Request(1, 0x5D, {0x10});
  const std::vector<Bytes> answers{reply, reply};
  const Bytes garbage = CollisionBytes(answers);
  EXPECT_NE(garbage.size(), reply.size());
  EXPECT_NE(ReadDirect(garbage, 7).check, ReplyCheck::kAccepted);
}

TEST(SimLineTest, BroadcastWithoutReplyReachesEveryController) {
  SimLine line = MakeLine({3, 5}, false);
  const Bytes sent = line.Receive(
      Request(255, 0x5E, {4, 10, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0}));
  EXPECT_TRUE(sent.empty());
  for (const SimController& controller : line.Controllers()) {
    EXPECT_EQ(controller.State().position, (SimPosition{4, 10}));
    EXPECT_TRUE(controller.State().running);
  }
}

TEST(SimLineTest, EachControllerKeepsItsOwnProgram) {
  SimLine line = MakeLine({3, 5}, false);
  line.Receive(Request(3, 0x4D, {0, 0, 0x01, 0x02, 0x03}));
  const Received at5 = ReadDirect(line.Receive(Request(5, 0x4E, {0, 0})), 9);
  const Received at3 = ReadDirect(line.Receive(Request(3, 0x4E, {0, 0})), 9);
  ASSERT_EQ(at5.check, ReplyCheck::kAccepted);
  ASSERT_EQ(at3.check, ReplyCheck::kAccepted);
  EXPECT_EQ(at5.reply[5], 0xFF);
  EXPECT_EQ(at3.reply[5], 0x01);
}

TEST(SimLineTest, NewNumberAnswersTheFrameThatGaveItAndThenOnlyItself) {
  SimLine line = MakeLine({3}, false);
  EXPECT_EQ(ReadDirect(line.Receive(Request(3, 0x48, {8})), 6).check,
            ReplyCheck::kAccepted);
  EXPECT_TRUE(line.Receive(Request(3, 0x5D)).empty());
  EXPECT_EQ(ReadDirect(line.Receive(Request(8, 0x5D)), 7).check,
            ReplyCheck::kAccepted);
}

TEST(SimLineTest, FramesAreFoundInAnyChunkingAndAfterNoise) {
  SimLine line = MakeLine({1}, false);
  Bytes stream = {0x00, 0x55, 0x10, 0xFF};
  const Bytes frame = Request(1, 0x4E, {0, 5});
  stream.insert(stream.end(), frame.begin(), frame.end());
  Bytes sent;
  for (const std::uint8_t byte : stream) {
    const Bytes out = line.Receive(std::span(&byte, 1));
    sent.insert(sent.end(), out.begin(), out.end());
  }
  EXPECT_EQ(ReadDirect(sent, 9).check, ReplyCheck::kAccepted);
}

// A controller that always answers badly (two sharing its number, a bad
// wire) must stay bad on every ask, while its neighbours stay sound.
TEST(SimLineTest, FaultOnANumberSpoilsEveryReplyOfThatControllerOnly) {
  SimLine line = MakeLine({3, 17}, false);
  SimFault fault;
  fault.kind = FaultKind::kChecksum;
  fault.number = 17;
  line.SetFault(fault);
  for (int ask = 0; ask < 2; ++ask) {
    EXPECT_EQ(ReadDirect(line.Receive(Request(17, 0x5D)), 7).check,
              ReplyCheck::kBadChecksum);
    EXPECT_EQ(ReadDirect(line.Receive(Request(3, 0x5D)), 7).check,
              ReplyCheck::kAccepted);
  }
}

TEST(SimLineTest, DamagedFrameIsIgnoredAndTheNextOneAnswered) {
  SimLine line = MakeLine({1}, false);
  Bytes damaged = Request(1, 0x4D, {0, 0, 1, 2, 3});
  damaged.back() ^= 0x01;
  EXPECT_TRUE(line.Receive(damaged).empty());
  EXPECT_EQ(line.Controllers()[0].State().image[0], 0xFF);
  EXPECT_EQ(ReadDirect(line.Receive(Request(1, 0x5D)), 7).check,
            ReplyCheck::kAccepted);
}

TEST(SimLineTest, PartialFrameIsDroppedWhenTheLineGoesQuiet) {
  SimLine line = MakeLine({1}, false);
  const Bytes frame = Request(1, 0x5D);
  line.Receive(std::span(frame).first(3));
  EXPECT_TRUE(line.MidFrame());
  line.DropPartialFrame();
  EXPECT_FALSE(line.MidFrame());
  EXPECT_EQ(ReadDirect(line.Receive(frame), 7).check, ReplyCheck::kAccepted);
}

struct RadioCase {
  const char* name;
  RadioMode mode;
  std::uint16_t target;
  std::uint8_t destination;  // 0x10 is doubled in the envelope
};

class RadioTest : public testing::TestWithParam<RadioCase> {};

TEST_P(RadioTest, EnvelopedRequestGetsEnvelopedReply) {
  const RadioCase& c = GetParam();
  SimLine line = MakeLine({c.destination}, true);
  line.Receive(Envelope(Request(c.destination, 0x4D, {1, 16, 0x10, 0x10, 7}),
                        c.mode, c.target));
  const Bytes sent = line.Receive(
      Envelope(Request(c.destination, 0x4E, {1, 16}), c.mode, c.target));
  BytePort port(sent);
  ReplyBuffer reply{};
  const std::atomic<bool> abort{false};
  ASSERT_EQ(ReadRadioReply(port, reply, 9, abort, 1), 9);
  ASSERT_EQ(CheckReply(reply, 9, 9), ReplyCheck::kAccepted);
  EXPECT_EQ(reply[5], 0x10);
  EXPECT_EQ(reply[6], 0x10);
  EXPECT_EQ(reply[7], 7);
}

INSTANTIATE_TEST_SUITE_P(
    Envelopes, RadioTest,
    testing::Values(RadioCase{"Point", RadioMode::kPoint, 0x1234, 1},
                    RadioCase{"PointAddressWithDle", RadioMode::kPoint, 0x1010,
                              0x10},
                    RadioCase{"All", RadioMode::kAll, 0, 0x10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimLineTest, RadioLineIgnoresBareFramesAndBadEnvelopes) {
  SimLine line = MakeLine({1}, true);
  EXPECT_TRUE(line.Receive(Request(1, 0x5D)).empty());
  Bytes bad = Envelope(Request(1, 0x5D), RadioMode::kPoint, 0x1234);
  bad.back() ^= 0x01;
  EXPECT_TRUE(line.Receive(bad).empty());
  // An access-point reset ends with "$$" and is not answered; the line
  // still serves the request after it.
  RadioSettings radio{true, RadioMode::kPoint, 0x1234, 0xFF00};
  RadioResetMarks marks;
  marks.access_point = true;
  RadioEnvelope reset;
  ASSERT_TRUE(BuildRadioEnvelope(Request(1, 0x45), radio, marks, reset));
  ASSERT_EQ(reset.bytes[static_cast<std::size_t>(reset.length) - 1], 0x24);
  EXPECT_TRUE(
      line.Receive(Bytes(reset.View().begin(), reset.View().end())).empty());
  EXPECT_FALSE(
      line.Receive(Envelope(Request(1, 0x5D), RadioMode::kPoint, 0x1234))
          .empty());
}

}  // namespace
}  // namespace lumera
