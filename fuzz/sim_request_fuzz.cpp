// The virtual controller's request readers over any byte stream: every
// request the direct reader yields is the sound frame that ends at that
// byte and is rebuilt byte for byte by the system's own frame builder;
// every block the radio reader yields was enveloped in the stream; and a
// frame written by the system after any noise is always found.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/link/frames.h"
#include "envelope_search.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "sim/request_reader.h"

namespace lumera {
namespace {

bool SameRequest(const SimRequest& a, const SimRequest& b) {
  return a.destination == b.destination && a.code == b.code &&
         std::equal(a.Payload().begin(), a.Payload().end(), b.Payload().begin(),
                    b.Payload().end());
}

// The frame the system sends for `request`; the controller does not look
// at byte 1, so a frame it took may carry another value there.
RequestFrame Rebuilt(const SimRequest& request,
                     std::uint8_t fixed_byte = kFixedFrameByte) {
  std::vector<std::uint8_t> body{request.code};
  body.insert(body.end(), request.Payload().begin(), request.Payload().end());
  RequestFrame frame;
  LUMERA_FUZZ_CHECK(BuildRequestFrame(
      request.destination, static_cast<std::uint8_t>(body.size() + 1), body,
      frame, fixed_byte));
  return frame;
}

void CheckDirect(std::span<const std::uint8_t> stream) {
  DirectRequestReader reader;
  for (std::size_t i = 0; i < stream.size(); ++i) {
    const std::optional<SimRequest> request = reader.Push(stream[i]);
    if (!request) continue;
    const auto size = request->payload_size + 6;
    LUMERA_FUZZ_CHECK(size <= i + 1);
    const RequestFrame frame = Rebuilt(*request, stream[i + 1 - size + 1]);
    const auto tail = stream.subspan(i + 1 - size, size);
    LUMERA_FUZZ_CHECK(
        std::equal(tail.begin(), tail.end(), frame.View().begin()));
    LUMERA_FUZZ_CHECK(!reader.MidFrame());
  }
  // After the line went quiet a frame of the system's own is found.
  reader.Reset();
  SimRequest sent;
  sent.destination = stream.empty() ? 1 : stream[0];
  sent.code = stream.size() > 1 ? stream[1] : 0x5D;
  sent.payload_size = std::min(stream.size(), kMaxRequestPayload);
  std::copy_n(stream.begin(), sent.payload_size, sent.payload_bytes.begin());
  const RequestFrame frame = Rebuilt(sent);
  std::optional<SimRequest> got;
  for (const std::uint8_t b : frame.View()) {
    LUMERA_FUZZ_CHECK(!got);
    got = reader.Push(b);
  }
  LUMERA_FUZZ_CHECK(got && SameRequest(*got, sent));
}

void CheckRadio(std::span<const std::uint8_t> stream) {
  RadioEnvelopeReader reader;
  for (std::size_t i = 0; i < stream.size(); ++i) {
    if (!reader.Push(stream[i])) continue;
    LUMERA_FUZZ_CHECK(EndsWithEnvelopeOf(stream.first(i + 1), reader.Block()));
  }
  // A request enveloped by the system's writer after the reader was reset.
  reader.Reset();
  const std::size_t size = std::min(stream.size(), kMaxRequestFrameSize);
  if (size == 0) return;
  RadioSettings radio;
  radio.enabled = true;
  radio.target_address = static_cast<std::uint16_t>(stream[0] * 257);
  RadioResetMarks marks;
  marks.access_point = (stream[0] & 1) != 0;
  RadioEnvelope envelope;
  LUMERA_FUZZ_CHECK(
      BuildRadioEnvelope(stream.first(size), radio, marks, envelope));
  int blocks = 0;
  for (const std::uint8_t b : envelope.View()) {
    if (!reader.Push(b)) continue;
    ++blocks;
    const auto block = reader.Block();
    LUMERA_FUZZ_CHECK(block.size() == kRadioHeaderSize + size);
    LUMERA_FUZZ_CHECK(std::equal(block.begin() + kRadioHeaderSize, block.end(),
                                 stream.begin()));
  }
  LUMERA_FUZZ_CHECK(blocks == 1);
}

}  // namespace

void FuzzInput(std::string_view bytes) {
  const std::span<const std::uint8_t> stream(
      reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  CheckDirect(stream);
  CheckRadio(stream);
}

}  // namespace lumera
