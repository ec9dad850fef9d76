// The radio reply reader over any mix of bytes, empty reads and a failing
// line: a reply it returns was really enveloped in what it read, with 0x10
// doubled and the envelope's sum; it gives up after exactly its idle budget
// of empty reads in a row (at the first one when an abort is asked); and a
// reply frame enveloped by the system's own writer always comes back whole.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/link/frames.h"
#include "envelope_search.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "script_port.h"

namespace lumera {
namespace {

// In the line part of the input, 0xFB is an escape: FB 00 is the byte
// 0xFB, FB FF a failing read, FB k (k = 1..254) k empty reads.
constexpr std::uint8_t kEscape = 0xFB;

std::vector<ReadResult> LineScript(std::span<const std::uint8_t> line) {
  std::vector<ReadResult> script;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != kEscape || i + 1 == line.size()) {
      script.push_back({ReadStatus::kByte, line[i]});
      continue;
    }
    const std::uint8_t k = line[++i];
    if (k == 0) {
      script.push_back({ReadStatus::kByte, kEscape});
    } else if (k == 0xFF) {
      script.push_back({ReadStatus::kFailed, 0});
    } else {
      script.insert(script.end(), k, ReadResult{ReadStatus::kTimeout, 0});
    }
  }
  return script;
}

void CheckScriptedLine(std::span<const std::uint8_t> input) {
  // Byte 0: R (seven bits) and the abort flag; byte 1: the idle budget.
  const int expected = input[0] & 0x7F;
  const bool abort = (input[0] & 0x80) != 0;
  const int budget = input[1] % 64;
  ScriptPort port(LineScript(input.subspan(2)));
  const std::atomic<bool> abort_requested{abort};
  ReplyBuffer reply;
  reply.fill(0xFF);
  const int result =
      ReadRadioReply(port, reply, expected, abort_requested, budget);

  switch (port.LastStatus()) {
    case ReadStatus::kFailed:
      LUMERA_FUZZ_CHECK(result == kReplyReadFailed);
      return;
    case ReadStatus::kTimeout:
      // Given up waiting: after the budget ran out, or at once on abort.
      LUMERA_FUZZ_CHECK(result == static_cast<int>(port.Taken().size()));
      LUMERA_FUZZ_CHECK(port.TimeoutRun() == (abort ? 1 : budget + 1));
      return;
    case ReadStatus::kByte:
      break;
  }
  // It stopped on a byte: a whole envelope ended there, the block grew past
  // the buffer, or the line brought the most one read takes.
  const auto taken = port.Taken();
  LUMERA_FUZZ_CHECK(taken.size() <= static_cast<std::size_t>(kReplyReadLimit));
  if (result == kRadioBlockTooLong) {
    LUMERA_FUZZ_CHECK(taken.size() >= 2 + kRadioBlockCapacity);
    return;
  }
  if (result == kReplyReadLimit) {
    LUMERA_FUZZ_CHECK(taken.size() == static_cast<std::size_t>(result));
    return;
  }
  LUMERA_FUZZ_CHECK(result == expected || result == kRadioChecksumWrong ||
                    result == kRadioBlockLengthWrong);
  LUMERA_FUZZ_CHECK(taken.size() >= 5);
  LUMERA_FUZZ_CHECK(taken[taken.size() - 3] == 0x10 &&
                    taken[taken.size() - 2] == 0x03);
  if (result != expected) return;
  // The block held 8 header bytes, unknown here, and the reply: the stream
  // must hold an envelope of some header followed by these R bytes.
  bool found = false;
  const std::span<const std::uint8_t> frame(reply.data(),
                                            static_cast<std::size_t>(expected));
  for (std::size_t open = 0; open + 5 <= taken.size() && !found; ++open) {
    if (taken[open] != 0x10 || taken[open + 1] != 0x02) continue;
    // Unwrap the header's 8 bytes from here and test the rest.
    std::vector<std::uint8_t> header;
    std::size_t i = open + 2;
    while (header.size() < kRadioHeaderSize && i < taken.size()) {
      if (taken[i] == 0x10) {
        if (i + 1 >= taken.size() || taken[i + 1] != 0x10) break;
        ++i;
      }
      header.push_back(taken[i++]);
    }
    if (header.size() != kRadioHeaderSize) continue;
    std::vector<std::uint8_t> block = header;
    block.insert(block.end(), frame.begin(), frame.end());
    found = EndsWithEnvelopeOf(taken.subspan(open), block);
  }
  LUMERA_FUZZ_CHECK(found);
  LUMERA_FUZZ_CHECK(CheckReply(reply, result, expected) !=
                    ReplyCheck::kTooShort);
}

// The system's writer wraps the input as a frame; noise without 0x10 in
// front of it does not hide it from the reader.
void CheckRoundTrip(std::span<const std::uint8_t> input) {
  const std::size_t noise = input[0] % 8;
  const std::size_t size =
      std::min<std::size_t>(input.size() - 1, kMaxRequestFrameSize);
  if (size == 0) return;
  const auto frame = input.subspan(1, size);
  RadioSettings radio;
  radio.enabled = true;
  radio.mode = (input[0] & 0x80) != 0 ? RadioMode::kAll : RadioMode::kPoint;
  radio.target_address =
      static_cast<std::uint16_t>(input[size] | input[size / 2] << 8);
  RadioResetMarks marks;
  RadioEnvelope envelope;
  LUMERA_FUZZ_CHECK(BuildRadioEnvelope(frame, radio, marks, envelope));
  std::vector<std::uint8_t> line(noise, 0x55);
  line.insert(line.end(), envelope.View().begin(), envelope.View().end());
  ScriptPort port(ByteScript(line));
  const std::atomic<bool> abort_requested{false};
  ReplyBuffer reply;
  const int expected = static_cast<int>(size);
  LUMERA_FUZZ_CHECK(ReadRadioReply(port, reply, expected, abort_requested, 0) ==
                    expected);
  LUMERA_FUZZ_CHECK(std::equal(frame.begin(), frame.end(), reply.begin()));
}

}  // namespace

void FuzzInput(std::string_view bytes) {
  if (bytes.size() < 2) return;
  const std::span<const std::uint8_t> input(
      reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  CheckScriptedLine(input);
  CheckRoundTrip(input);
}

}  // namespace lumera
