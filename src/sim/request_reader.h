// The controller's side of the line: finds request frames in the incoming
// byte stream, directly or inside the radio envelope. A damaged frame or
// envelope is dropped without an answer, as a controller would.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/link/frames.h"

namespace lumera {

// A request as the controller sees it.
struct SimRequest {
  std::uint8_t destination = 0;
  std::uint8_t code = 0;
  std::array<std::uint8_t, kMaxRequestPayload> payload_bytes{};
  std::size_t payload_size = 0;
  std::span<const std::uint8_t> Payload() const {
    return {payload_bytes.data(), payload_size};
  }
};

// The request in `frame` when it is one whole request frame with a sound
// sum (start byte 0x88, length byte matching the size).
std::optional<SimRequest> ParseRequestFrame(
    std::span<const std::uint8_t> frame);

// Direct line: hunts for the start byte and collects the frame its length
// byte announces.
class DirectRequestReader {
 public:
  // Takes one byte; returns the request it completed, if any.
  std::optional<SimRequest> Push(std::uint8_t byte);
  // Forgets a partly received frame.
  void Reset() { state_ = State::kHunting; }
  bool MidFrame() const { return state_ != State::kHunting; }

 private:
  enum class State { kHunting, kHeader, kBody };
  State state_ = State::kHunting;
  RequestFrame frame_;
};

// Radio line: unwraps envelopes (10 02, body with 0x10 doubled, 10 03, sum)
// and yields the inner block of each sound one.
class RadioEnvelopeReader {
 public:
  // Takes one byte; true when it completed an envelope with a sound sum,
  // whose inner block Block() then holds.
  bool Push(std::uint8_t byte);
  std::span<const std::uint8_t> Block() const {
    return {block_.data(), block_size_};
  }
  void Reset() { state_ = State::kHunting; }
  bool MidFrame() const { return state_ != State::kHunting; }

 private:
  enum class State { kHunting, kOpened, kBody, kEscape, kCheck };
  State state_ = State::kHunting;
  std::array<std::uint8_t, kRadioBlockCapacity> block_{};
  std::size_t block_size_ = 0;
  std::uint8_t sum_ = 0;
};

}  // namespace lumera
