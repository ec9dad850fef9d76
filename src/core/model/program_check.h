// The program check: references that name no command, and procedure calls
// whose procedure has no return. It reads the program bytes only, so the
// editor, the command line and the site plan share it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/model/command_references.h"
#include "core/model/program_store.h"
#include "core/model/program_types.h"

namespace lumera {

enum class FindingKind : std::uint8_t {
  kSegmentOutOfRange,  // the target segment is not 1..10
  kCommandZero,        // the target command is 0
  kCommandPastEnd,     // past the end of the target segment's command list
  kNoReturn,  // a call whose procedure has no return at or after its entry
};

struct ProgramFinding {
  // The referring command, indexed from 0.
  int segment_index = 0;
  int command_index = 0;
  FindingKind kind = FindingKind::kSegmentOutOfRange;
  ReferenceTarget target;
  int target_length = 0;  // commands in the target segment's list
  friend bool operator==(const ProgramFinding&,
                         const ProgramFinding&) = default;
};

// What the check says when it finds nothing.
inline constexpr std::string_view kNoFindingsText = "Program bez uwag.";

// Every finding of the command lists of the ten segments, in segment and
// command order; slots behind a list are not part of the program. One
// finding at most per command.
std::vector<ProgramFinding> CheckProgram(const ProgramImage& image);
std::vector<ProgramFinding> CheckProgram(const ProgramStore& store);

// The finding in Polish, without the place.
std::string FindingText(const ProgramFinding& finding);
// "SS:CCC " (segment and command from 1, "%02d:%03d ") and the text: one
// line of the check's listing.
std::string FindingLine(const ProgramFinding& finding);

}  // namespace lumera
