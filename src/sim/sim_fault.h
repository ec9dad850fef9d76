// One line fault the virtual controller puts on the reply to one request,
// for the end-to-end tests of how a job ends on a bad line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace lumera {

enum class FaultKind {
  kNone,
  kChecksum,  // the reply frame's sum is wrong
  kCut,       // the last byte on the wire is missing
  kExtra,     // the frame carries one data byte more than asked for
  kStray,     // two bytes of noise come before the reply
  kSilence,   // no reply at all
  kDelay,     // the reply starts `ms` late
  kPause,     // the line goes quiet for `ms` in the middle of the reply
  kHangUp,    // the line hangs up instead of replying
  kMark,      // nothing changes; only the announcement
};

// The fault hits the reply to request number `at_request` (1 for the first
// the controller takes after it started). When it hits, the server prints
// "fault" on stdout, so a test knows the moment.
// With `number` set it hits every reply of that controller instead (a
// controller whose number another one shares, a wire that always spoils it).
struct SimFault {
  FaultKind kind = FaultKind::kNone;
  int at_request = 1;
  int ms = 0;
  std::optional<std::uint8_t> number;
};

// "checksum", "cut", ... as in the usage text; nothing for another word.
std::optional<FaultKind> ParseFaultKind(std::string_view name);

// The frame-level faults (checksum, extra) applied to one reply frame before
// it is enveloped; the others leave it alone.
void DamageFrame(FaultKind kind, std::vector<std::uint8_t>& frame);

// The byte-level faults (cut, stray, silence) applied to the bytes of one
// reply as they go on the wire.
void DamageWire(FaultKind kind, std::vector<std::uint8_t>& wire);

// What the server does with the time-level faults: where the reply starts
// in the output and what to do there.
struct PendingFault {
  FaultKind kind = FaultKind::kNone;
  int ms = 0;
  std::size_t reply_offset = 0;
};

}  // namespace lumera
