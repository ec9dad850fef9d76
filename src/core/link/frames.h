// Request and reply frames, the radio envelope, and the byte-by-byte readers
// that find a reply in the incoming stream.
//
// Request: 88 FF <destination> <L> <code> <payload...> <sum>, L = payload + 2,
// the sum being the 8-bit sum of all bytes before it. Reply: 88|89 xx xx <L>
// <code> <data...> <sum>. With the radio option the request travels inside
// an 8-byte radio header, enveloped as 10 02 <block, 0x10 doubled> 10 03
// <sum of everything sent before it>.
//
// The worker calls, per request: BuildRequestFrame, port.Purge(), WriteFrame,
// then (when a reply is expected) ReadReply and CheckReply. None of these
// allocate.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/link/serial_port.h"

namespace lumera {

inline constexpr std::uint8_t kRequestStartByte = 0x88;
inline constexpr std::uint8_t kReplyStartByteAlt = 0x89;
inline constexpr std::uint8_t kFixedFrameByte = 0xFF;
inline constexpr std::uint8_t kBroadcastDestination = 255;
// A request carries at most 32 payload bytes: 38 bytes with header and sum.
inline constexpr std::size_t kMaxRequestPayload = 32;
inline constexpr std::size_t kMaxRequestFrameSize = kMaxRequestPayload + 6;
inline constexpr std::size_t kReplyBufferSize = 300;
inline constexpr std::size_t kRadioBlockCapacity = 300;
inline constexpr std::size_t kRadioHeaderSize = 8;
// Empty reads a radio reply may take before the reader gives up (each lasts
// the read time-out, so in practice the user aborts first).
inline constexpr int kRadioIdleBudget = 25000;
// Bytes one reply read takes at most. More than the driver's input buffer
// holds and than any reply, enveloped, behind some noise: a line that
// brings more without a reply (a wrong port, a device streaming text, a
// radio module dumping its messages) never will, and the read gives up.
inline constexpr int kReplyReadLimit = 1024;

// Negative results of WriteFrame and ReadReply.
inline constexpr int kEmptyFrame = -1;        // WriteFrame: nothing to write
inline constexpr int kFrameWriteFailed = -2;  // WriteFrame
inline constexpr int kReplyReadFailed = -1;   // ReadReply: the port failed
inline constexpr int kRadioBlockTooLong = -3;
inline constexpr int kRadioChecksumWrong = -4;
inline constexpr int kRadioBlockLengthWrong = -5;

// Messages of a rejected reply.
inline constexpr std::string_view kReplyTooShortText =
    "Błąd odczytu pakietu: pakiet za krótki !";
inline constexpr std::string_view kReplyChecksumText = "Błąd sumy kontrolnej !";

struct RequestFrame {
  std::array<std::uint8_t, kMaxRequestFrameSize> bytes{};
  int length = 0;
  std::span<const std::uint8_t> View() const {
    return {bytes.data(), static_cast<std::size_t>(length)};
  }
};

using ReplyBuffer = std::array<std::uint8_t, kReplyBufferSize>;

// Point: the three selection words are the target's radio address ("Do
// Punktu Numer"); All: FFFA FFFF FFFF ("Wszystkie").
enum class RadioMode { kPoint, kAll };

struct RadioSettings {
  bool enabled = false;  // the radio option; off = frames go out as they are
  RadioMode mode = RadioMode::kPoint;
  std::uint16_t target_address = 0;
  std::uint16_t access_point_address = 0;
};

// One-shot marks set by the user-interface thread and consumed by the next
// radio frame written by the worker. `radio_box`: the main window's radio
// "Reset" (frame type 0x02). `access_point`: the configuration page's
// access-point "Reset" (type 0x02, the access point's address, "$$" after
// the envelope).
struct RadioResetMarks {
  std::atomic<bool> radio_box{false};
  std::atomic<bool> access_point{false};
};

// Builds the frame of one queued request: `length_byte` is the entry's L
// (code + payload + sum, 2 to 34) and `code_and_payload` holds at least L - 1
// bytes (the code, then the payload). `destination` is the controller number
// or kBroadcastDestination. Returns false, leaving `frame` empty, when L is
// out of range or the bytes are missing.
bool BuildRequestFrame(std::uint8_t destination, std::uint8_t length_byte,
                       std::span<const std::uint8_t> code_and_payload,
                       RequestFrame& frame,
                       std::uint8_t fixed_byte = kFixedFrameByte);

// Radio envelope of one request frame: at most 2 + 2 * (8 + 38) + 2 + 1 + 2.
struct RadioEnvelope {
  std::array<std::uint8_t, 2 * (kRadioHeaderSize + kMaxRequestFrameSize) + 7>
      bytes{};
  int length = 0;
  std::span<const std::uint8_t> View() const {
    return {bytes.data(), static_cast<std::size_t>(length)};
  }
};

// Wraps `frame` (at most kMaxRequestFrameSize bytes) for the radio and
// consumes the reset marks it honours. Returns false for an empty or
// oversized frame (marks untouched).
bool BuildRadioEnvelope(std::span<const std::uint8_t> frame,
                        const RadioSettings& radio, RadioResetMarks& marks,
                        RadioEnvelope& envelope);

// Writes a request frame. Radio off: the frame as it is; returns the bytes
// written, kEmptyFrame for an empty frame, kFrameWriteFailed when the port
// fails. Radio on: the envelope in one write; returns the frame's length
// (not the envelope's) when the whole envelope went out, else
// kFrameWriteFailed. The worker fails the job ("Błąd pisania do portu !")
// unless the result equals the frame length.
int WriteFrame(SerialPort& port, std::span<const std::uint8_t> frame,
               const RadioSettings& radio, RadioResetMarks& marks);

// Direct reader: hunts for 0x88/0x89, then reads the frame its length byte
// announces into `reply`. Returns the bytes read, stray bytes before the
// start byte included (so a reply behind noise fails the length check), the
// count so far when a read times out or kReplyReadLimit bytes came without
// a whole frame, or kReplyReadFailed.
int ReadDirectReply(SerialPort& port, ReplyBuffer& reply);
// The same, telling whether the read ended with a whole frame (rather than a
// time-out or a failure): only then does the buffer hold bytes of this read
// alone up to the frame's last byte.
int ReadDirectReply(SerialPort& port, ReplyBuffer& reply, bool& frame_complete);

// Radio reader: unwraps one envelope whose inner block must be 8 +
// `expected` bytes and copies the reply frame after the 8-byte header into
// `reply`. Returns `expected` on success; kRadioBlockTooLong,
// kRadioChecksumWrong, kRadioBlockLengthWrong, kReplyReadFailed; or the
// bytes received so far when `idle_budget` empty reads in a row ran out,
// `abort_requested` is seen at an empty read (the flag is only read), or
// kReplyReadLimit bytes came without a whole envelope.
int ReadRadioReply(SerialPort& port, ReplyBuffer& reply, int expected,
                   const std::atomic<bool>& abort_requested,
                   int idle_budget = kRadioIdleBudget);

// The reader for the radio option: ReadRadioReply when `radio.enabled`, else
// ReadDirectReply.
int ReadReply(SerialPort& port, const RadioSettings& radio, ReplyBuffer& reply,
              int expected, const std::atomic<bool>& abort_requested);
// The same, telling whether a whole frame (a whole envelope) was read.
int ReadReply(SerialPort& port, const RadioSettings& radio, ReplyBuffer& reply,
              int expected, const std::atomic<bool>& abort_requested,
              bool& frame_complete);

enum class ReplyCheck { kAccepted, kTooShort, kBadChecksum };

// A reply is accepted when `count` equals `expected` (1 to 300) and the sum
// of its first expected - 1 bytes equals its last byte.
ReplyCheck CheckReply(const ReplyBuffer& reply, int count, int expected);

// The check the worker makes: CheckReply, and before it, the read must have
// ended with a whole frame whose own length byte gives `count`. Without
// this a frame cut short behind stray bytes, or stray bytes alone, could
// make up the expected count and pass on bytes left in the buffer by an
// earlier reply.
ReplyCheck CheckReadReply(const ReplyBuffer& reply, int count, int expected,
                          bool frame_complete);

// The status-line text of a rejected reply; empty for kAccepted.
std::string_view ReplyCheckText(ReplyCheck check);

// 8-bit sum of `bytes`.
std::uint8_t FrameSum(std::span<const std::uint8_t> bytes);

}  // namespace lumera
