// The radio access point's envelope: writing one and unwrapping a reply.
#include <algorithm>

#include "core/link/frames.h"

namespace lumera {
namespace {

constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kOrdinaryBlock = 0x09;
constexpr std::uint8_t kResetBlock = 0x02;
constexpr std::uint8_t kTrailer = 0x24;  // '$'
// Selection words addressing every radio.
constexpr std::uint16_t kAllWords[3] = {0xFFFA, 0xFFFF, 0xFFFF};

class EnvelopeWriter {
 public:
  explicit EnvelopeWriter(RadioEnvelope& envelope) : envelope_(envelope) {
    envelope_.length = 0;
  }
  // A byte counted in the checksum.
  void Put(std::uint8_t b) {
    envelope_.bytes[envelope_.length++] = b;
    sum_ = static_cast<std::uint8_t>(sum_ + b);
  }
  // A body byte: a 0x10 goes out (and is counted) twice.
  void PutBody(std::uint8_t b) {
    Put(b);
    if (b == kDle) Put(b);
  }
  void PutRaw(std::uint8_t b) { envelope_.bytes[envelope_.length++] = b; }
  std::uint8_t sum() const { return sum_; }

 private:
  RadioEnvelope& envelope_;
  std::uint8_t sum_ = 0;
};

}  // namespace

bool BuildRadioEnvelope(std::span<const std::uint8_t> frame,
                        const RadioSettings& radio, RadioResetMarks& marks,
                        RadioEnvelope& envelope) {
  envelope.length = 0;
  if (frame.empty() || frame.size() > kMaxRequestFrameSize) return false;

  // Each mark is taken atomically so a press between reading and clearing
  // it is never lost.
  const bool access_point_reset = marks.access_point.exchange(false);
  const bool radio_box_reset = marks.radio_box.exchange(false);

  std::uint8_t type = kOrdinaryBlock;
  std::uint16_t address = radio.target_address;
  if (access_point_reset) {
    type = kResetBlock;
    address = radio.access_point_address;
  }
  if (radio_box_reset) type = kResetBlock;

  std::uint16_t words[3] = {address, address, address};
  if (radio.mode == RadioMode::kAll && !access_point_reset) {
    std::copy(std::begin(kAllWords), std::end(kAllWords), words);
  }

  EnvelopeWriter out(envelope);
  out.Put(kDle);
  out.Put(kStx);
  out.PutBody(type);
  out.PutBody(0x00);
  for (std::uint16_t word : words) {
    out.PutBody(static_cast<std::uint8_t>(word & 0xFF));
    out.PutBody(static_cast<std::uint8_t>(word >> 8));
  }
  for (std::uint8_t b : frame) out.PutBody(b);
  out.Put(kDle);
  out.Put(kEtx);
  out.PutRaw(out.sum());
  if (access_point_reset) {
    out.PutRaw(kTrailer);
    out.PutRaw(kTrailer);
  }
  return true;
}

int ReadRadioReply(SerialPort& port, ReplyBuffer& reply, int expected,
                   const std::atomic<bool>& abort_requested, int idle_budget) {
  enum class State { kHunting, kOpened, kBody, kEscape, kCheck };
  std::array<std::uint8_t, kRadioBlockCapacity> block;
  std::size_t block_length = 0;
  std::uint8_t sum = 0;
  State state = State::kHunting;
  int count = 0;
  int budget = idle_budget;

  // Stores one body byte; false when the block is full.
  auto store = [&](std::uint8_t b) {
    block[block_length++] = b;
    return block_length < block.size();
  };

  for (;;) {
    const ReadResult r = port.ReadByte();
    if (r.status == ReadStatus::kFailed) return kReplyReadFailed;
    if (r.status == ReadStatus::kTimeout) {
      if (budget <= 0 || abort_requested.load()) return count;
      --budget;
      continue;
    }
    budget = idle_budget;
    ++count;
    const std::uint8_t b = r.byte;
    switch (state) {
      case State::kHunting:
        sum = 0;
        block_length = 0;
        if (b == kDle) state = State::kOpened;
        break;
      case State::kOpened:
        state = b == kStx ? State::kBody : State::kHunting;
        break;
      case State::kBody:
        if (b == kDle) {
          state = State::kEscape;
          break;
        }
        sum = static_cast<std::uint8_t>(sum + b);
        if (!store(b)) return kRadioBlockTooLong;
        break;
      case State::kEscape:
        if (b == kDle) {
          sum = static_cast<std::uint8_t>(sum + 2 * kDle);
          if (!store(kDle)) return kRadioBlockTooLong;
          state = State::kBody;
        } else if (b == kEtx) {
          state = State::kCheck;
        } else {
          state = State::kHunting;
        }
        break;
      case State::kCheck: {
        const std::uint8_t framing = kDle + kStx + kDle + kEtx;
        if (static_cast<std::uint8_t>(sum + framing) != b) {
          return kRadioChecksumWrong;
        }
        if (expected < 0 ||
            block_length !=
                kRadioHeaderSize + static_cast<std::size_t>(expected)) {
          return kRadioBlockLengthWrong;
        }
        std::copy_n(block.begin() + kRadioHeaderSize, expected, reply.begin());
        return expected;
      }
    }
    if (count >= kReplyReadLimit) return count;
  }
}

}  // namespace lumera
