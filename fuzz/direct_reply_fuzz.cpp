// The direct reply reader over any byte stream, judged against the bytes it
// took: it never reads past the frame its length byte announces nor past
// its byte limit, a frame it completes is the exact tail of what it took,
// and the reply check accepts exactly the streams that begin with a sound
// frame of the expected length.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/link/frames.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "script_port.h"

namespace lumera {
namespace {

bool IsStartByte(std::uint8_t b) {
  return b == kRequestStartByte || b == kReplyStartByteAlt;
}

}  // namespace

void FuzzInput(std::string_view bytes) {
  if (bytes.empty()) return;
  // First byte: the expected reply length R (seven bits, as queued) and
  // whether the line fails after the script instead of going quiet.
  const int expected = static_cast<unsigned char>(bytes[0]) & 0x7F;
  const bool fails_at_end = (static_cast<unsigned char>(bytes[0]) & 0x80) != 0;
  const std::span<const std::uint8_t> line(
      reinterpret_cast<const std::uint8_t*>(bytes.data()) + 1,
      bytes.size() - 1);

  std::vector<ReadResult> script = ByteScript(line);
  if (fails_at_end) script.push_back({ReadStatus::kFailed, 0});
  ScriptPort port(std::move(script));
  ReplyBuffer reply;
  reply.fill(0xFF);
  bool frame_complete = false;
  const int count = ReadDirectReply(port, reply, frame_complete);
  const std::span<const std::uint8_t> taken = port.Taken();

  if (port.LastStatus() == ReadStatus::kFailed) {
    LUMERA_FUZZ_CHECK(count == kReplyReadFailed && !frame_complete);
    return;
  }
  LUMERA_FUZZ_CHECK(count == static_cast<int>(taken.size()));
  LUMERA_FUZZ_CHECK(count <= kReplyReadLimit);
  // It stops on a byte at the end of a whole frame, or at the most a read
  // takes from a line that never brings one.
  if (port.LastStatus() == ReadStatus::kByte) {
    LUMERA_FUZZ_CHECK(frame_complete || count == kReplyReadLimit);
  } else {
    LUMERA_FUZZ_CHECK(!frame_complete);
  }
  if (frame_complete) {
    // It stopped on a byte: a whole frame ends there, copied unchanged.
    const std::size_t frame_size = reply[3] + 4u;
    LUMERA_FUZZ_CHECK(reply[3] != 0);
    LUMERA_FUZZ_CHECK(frame_size <= taken.size());
    const auto frame = taken.last(frame_size);
    LUMERA_FUZZ_CHECK(IsStartByte(frame[0]));
    LUMERA_FUZZ_CHECK(std::equal(frame.begin(), frame.end(), reply.begin()));
  }

  // The reference: the stream's first R bytes are a sound frame of that
  // length, with its sum. The reader and the worker's check together must
  // accept exactly then, with the frame in the buffer. The buffer is first
  // filled with what an earlier reply may have left: R bytes that pass the
  // check by themselves.
  ScriptPort again(ByteScript(line));
  if (expected >= 5) {
    reply.fill(0);
    reply[0] = kRequestStartByte;
    reply[3] = static_cast<std::uint8_t>(expected - 4);
    reply[static_cast<std::size_t>(expected - 1)] =
        FrameSum({reply.data(), static_cast<std::size_t>(expected - 1)});
  }
  const int count_again = ReadDirectReply(again, reply, frame_complete);
  LUMERA_FUZZ_CHECK(count_again == count);
  const auto r = static_cast<std::size_t>(expected);
  const bool sound = r >= 5 && line.size() >= r && IsStartByte(line[0]) &&
                     line[3] == r - 4 &&
                     FrameSum(line.first(r - 1)) == line[r - 1];
  const ReplyCheck check =
      CheckReadReply(reply, count, expected, frame_complete);
  LUMERA_FUZZ_CHECK((check == ReplyCheck::kAccepted) == sound);
  if (sound) {
    LUMERA_FUZZ_CHECK(
        std::equal(line.begin(), line.begin() + expected, reply.begin()));
  }
  LUMERA_FUZZ_CHECK(ReplyCheckText(check).empty() ==
                    (check == ReplyCheck::kAccepted));
}

}  // namespace lumera
