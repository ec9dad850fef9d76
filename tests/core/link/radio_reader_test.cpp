#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/link/frames.h"
#include "support/fake_serial_port.h"
#include "support/reply_frames.h"

namespace lumera {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kReply = {0x88, 0x00, 0x01, 0x05, 0x5D, 0x10, 0x02, 0x03, 0x00};
const Bytes kHeader = {0x09, 0x00, 0x34, 0x12, 0x34, 0x12, 0x34, 0x12};

// An envelope around `block`, 0x10 doubled, with the sum of everything sent
// before it plus `sum_error`.
Bytes Envelope(const Bytes& block, std::uint8_t sum_error = 0) {
  Bytes out = {0x10, 0x02};
  for (std::uint8_t b : block) {
    out.push_back(b);
    if (b == 0x10) out.push_back(b);
  }
  out.push_back(0x10);
  out.push_back(0x03);
  out.push_back(static_cast<std::uint8_t>(FrameSum(out) + sum_error));
  return out;
}

Bytes Block(const Bytes& reply) {
  Bytes block = kHeader;
  block.insert(block.end(), reply.begin(), reply.end());
  return block;
}

struct RadioCase {
  std::string name;
  std::vector<ReadResult> incoming;
  int expected_length;
  int result;
};

class RadioReader : public testing::TestWithParam<RadioCase> {};

TEST_P(RadioReader, Unwraps) {
  const RadioCase& c = GetParam();
  FakeSerialPort port;
  port.Open("COM1");
  port.incoming.assign(c.incoming.begin(), c.incoming.end());
  ReplyBuffer reply;
  reply.fill(0xFF);
  std::atomic<bool> abort{false};
  const RadioSettings radio{true, RadioMode::kPoint, 0x1234, 0};
  // A small idle budget: these cases end long before it matters.
  const int result = ReadRadioReply(port, reply, c.expected_length, abort, 3);
  EXPECT_EQ(result, c.result);
  if (result == c.expected_length) {
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + result), kReply);
    EXPECT_EQ(CheckReply(reply, result, c.expected_length),
              ReplyCheck::kAccepted);
  }
  // Whatever the radio reader returns short of R fails the length check.
  if (result != c.expected_length) {
    EXPECT_EQ(CheckReply(reply, result, c.expected_length),
              ReplyCheck::kTooShort);
  }
  // ReadReply picks the radio reader when the radio option is on.
  if (c.result == 9) {
    port.incoming.assign(c.incoming.begin(), c.incoming.end());
    EXPECT_EQ(ReadReply(port, radio, reply, c.expected_length, abort), 9);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, RadioReader,
    testing::Values(
        // The reply's 0x10 data byte arrives doubled and is stored once.
        RadioCase{"SoundEnvelope", In(Envelope(Block(kReply))), 9, 9},
        RadioCase{
            "NoiseBeforeTheEnvelope",
            In(Concat({{0x55, 0x10, 0x07, 0x00}, Envelope(Block(kReply))})), 9,
            9},
        // 10 followed by anything but 10 or 03 drops the envelope; the next
        // one is read.
        RadioCase{"BrokenEscapeThenSoundEnvelope",
                  In(Concat({{0x10, 0x02, 0x09, 0x10, 0x07},
                             Envelope(Block(kReply))})),
                  9, 9},
        RadioCase{"ChecksumWrong", In(Envelope(Block(kReply), 1)), 9,
                  kRadioChecksumWrong},
        RadioCase{"BlockOneByteLong",
                  In(Envelope(Concat({Block(kReply), {0x00}}))), 9,
                  kRadioBlockLengthWrong},
        RadioCase{"BlockOneByteShort",
                  In(Envelope(Concat({kHeader,
                                      {0x88, 0x00, 0x01, 0x05, 0x5D, 0x10}}))),
                  9, kRadioBlockLengthWrong},
        RadioCase{"ExpectingAnotherLength", In(Envelope(Block(kReply))), 7,
                  kRadioBlockLengthWrong},
        // 299 body bytes still fit; the 300th is one too many.
        RadioCase{"Block299", In(Envelope(Bytes(299, 0x01))), 9,
                  kRadioBlockLengthWrong},
        RadioCase{"Block300", In(Envelope(Bytes(300, 0x01))), 9,
                  kRadioBlockTooLong},
        RadioCase{"Block300MadeOfEscapedTens", In(Envelope(Bytes(300, 0x10))),
                  9, kRadioBlockTooLong},
        RadioCase{"ReadFailure",
                  In({0x10, 0x02, 0x09}, {FakeSerialPort::Failure()}), 9,
                  kReplyReadFailed},
        // Once the idle budget (3) is spent, the bytes so far are returned.
        RadioCase{"GivesUpAfterTheBudget",
                  In({0x10, 0x02, 0x09},
                     std::vector<ReadResult>(4, FakeSerialPort::Timeout())),
                  9, 3}),
    [](const testing::TestParamInfo<RadioCase>& info) {
      return info.param.name;
    });

TEST(RadioReaderWaiting, ByteRestoresTheIdleBudget) {
  // Budget 3: three empty reads are waited out, the fourth gives up; a byte
  // in between starts the count again.
  FakeSerialPort port;
  port.Open("COM1");
  const ReadResult t = FakeSerialPort::Timeout();
  port.incoming = {t, t, t, FakeSerialPort::Byte(0x10), t, t, t};
  const Bytes rest = Envelope(Block(kReply));
  for (std::size_t i = 1; i < rest.size(); ++i) {
    port.incoming.push_back(FakeSerialPort::Byte(rest[i]));
  }
  ReplyBuffer reply;
  std::atomic<bool> abort{false};
  EXPECT_EQ(ReadRadioReply(port, reply, 9, abort, 3), 9);
}

TEST(RadioReaderWaiting, DefaultBudgetIs25000EmptyReads) {
  FakeSerialPort port;  // reads nothing but time-outs
  port.Open("COM1");
  ReplyBuffer reply;
  std::atomic<bool> abort{false};
  EXPECT_EQ(ReadRadioReply(port, reply, 9, abort), 0);
  EXPECT_EQ(port.reads, 25001);
}

TEST(RadioReaderWaiting, AbortEndsTheWaitAtTheNextEmptyRead) {
  FakeSerialPort port;
  port.Open("COM1");
  port.Feed(Bytes{0x10, 0x02, 0x09, 0x00});
  ReplyBuffer reply;
  std::atomic<bool> abort{true};
  // The bytes already waiting are still read; the first empty read returns.
  EXPECT_EQ(ReadRadioReply(port, reply, 9, abort), 4);
  EXPECT_EQ(port.reads, 5);
  EXPECT_TRUE(abort);  // the worker, not the reader, clears it
}

}  // namespace
}  // namespace lumera
