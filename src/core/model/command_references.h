// Which commands name another command of the program by number: the jumps,
// the procedure call and the task start. A fact of the catalogue, kept
// beside it: the editor keeps these numbers on their commands when rows
// move, and the program check reads them.
#pragma once

#include <cstdint>
#include <optional>

#include "core/model/program_types.h"

namespace lumera {

// "Wołaj procedurę: segment/komenda" and the command that ends a procedure.
inline constexpr std::uint8_t kCallCode = 27;
inline constexpr std::uint8_t kReturnCode = 28;

// Where a command's target lies. Codes 29 and 30 name a command of another
// controller's program and code 23 skips relative to itself: none of them
// is a reference.
enum class ReferenceScope : std::uint8_t {
  kNone,
  kOwnSegment,    // 22, 25, 26: command parameter 1 of the same segment
  kNamedSegment,  // 24, 27, 33: command parameter 1 of segment parameter 2
};

ReferenceScope ReferenceScopeOf(std::uint8_t code);

// The command a reference names, numbered as the user sees them and as the
// bytes hold them: segment 1..10 and command 1..255 when valid, anything
// 0..255 when typed without a range check.
struct ReferenceTarget {
  int segment = 0;
  int command = 0;
  friend bool operator==(const ReferenceTarget&,
                         const ReferenceTarget&) = default;
};

// The target of `command` standing in segment index `segment_index`, or
// nullopt when it is no reference.
inline std::optional<ReferenceTarget> TargetOf(const Command& command,
                                               int segment_index) {
  switch (ReferenceScopeOf(command.code)) {
    case ReferenceScope::kOwnSegment:
      return ReferenceTarget{segment_index + 1, command.param1};
    case ReferenceScope::kNamedSegment:
      return ReferenceTarget{command.param2, command.param1};
    case ReferenceScope::kNone:
      break;
  }
  return std::nullopt;
}

}  // namespace lumera
