#include "sim/sim_fault.h"

#include <array>
#include <utility>

#include "core/link/frames.h"

namespace lumera {

std::optional<FaultKind> ParseFaultKind(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, FaultKind>, 9>
      kNames = {{{"checksum", FaultKind::kChecksum},
                 {"cut", FaultKind::kCut},
                 {"extra", FaultKind::kExtra},
                 {"stray", FaultKind::kStray},
                 {"silence", FaultKind::kSilence},
                 {"delay", FaultKind::kDelay},
                 {"pause", FaultKind::kPause},
                 {"hangup", FaultKind::kHangUp},
                 {"mark", FaultKind::kMark}}};
  for (const auto& [text, kind] : kNames) {
    if (text == name) return kind;
  }
  return std::nullopt;
}

void DamageFrame(FaultKind kind, std::vector<std::uint8_t>& frame) {
  if (frame.size() < 5) return;
  if (kind == FaultKind::kChecksum) {
    frame.back() = static_cast<std::uint8_t>(frame.back() + 1);
  } else if (kind == FaultKind::kExtra) {
    // A sound frame, one data byte longer than the request's reply.
    frame.back() = 0x00;
    frame.push_back(0);
    frame[3] = static_cast<std::uint8_t>(frame[3] + 1);
    frame.back() = FrameSum({frame.data(), frame.size() - 1});
  }
}

void DamageWire(FaultKind kind, std::vector<std::uint8_t>& wire) {
  switch (kind) {
    case FaultKind::kCut:
      if (!wire.empty()) wire.pop_back();
      break;
    case FaultKind::kStray:
      // Bytes that open neither a frame nor an envelope.
      wire.insert(wire.begin(), {0x00, 0x55});
      break;
    case FaultKind::kSilence:
      wire.clear();
      break;
    default:
      break;
  }
}

}  // namespace lumera
