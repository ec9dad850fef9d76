// Every difference between two programs: the command slots, the comments
// and the configuration bytes, one line each in a stable order (segments,
// then commands, slot before comment; the configuration last).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/model/program_store.h"
#include "core/model/received_program.h"

namespace lumera {

struct ProgramDiffScope {
  // 1..10: only that segment, without the configuration. Empty: segments
  // 1 to `last_segment` and the configuration.
  std::optional<int> segment;
  int last_segment = kSegmentCount;
  bool comments = true;       // a controller holds no comments
  bool configuration = true;  // ignored with `segment`
};

// kNotRead: a slot that was to be read from a controller and was not.
enum class DifferenceKind { kCommand, kComment, kConfiguration, kNotRead };

struct ProgramDifference {
  DifferenceKind kind = DifferenceKind::kCommand;
  int segment_index = 0;  // kCommand, kComment, kNotRead
  int command_index = 0;
  Command a;              // kCommand, kNotRead
  Command b;              // kCommand
  std::string comment_a;  // kComment; an absent comment is empty
  std::string comment_b;
  int config_byte = 0;  // kConfiguration: 0..63
  std::uint8_t byte_a = 0;
  std::uint8_t byte_b = 0;
};

std::vector<ProgramDifference> DiffPrograms(const ProgramStore& a,
                                            const ProgramStore& b,
                                            const ProgramDiffScope& scope);

// Where the commands a job read from a controller differ from `expected`,
// over the first `slots[s]` commands of each segment s: a slot there that the
// job did not read is a difference of its own (kNotRead), never a match. In
// DiffPrograms' order; `a` is `expected`'s command, `b` the one read.
std::vector<ProgramDifference> DiffReceived(const ProgramStore& expected,
                                            const ReceivedProgram& received,
                                            const SlotCounts& slots);

// One line, without a line end:
//   "3/17: 01,02,03 → 01,02,04 (Name → Name)"
//   "3/17: 01,02,03 → nie odczytano"
//   "3/17 komentarz: \"old\" → \"new\""
//   "konfiguracja/2: 01 → 63 (Mnożnik tempa 2)"
// Segments and commands count from 1; a code the catalogue lacks is named
// "-"; quotes and backslashes in comments are escaped with a backslash.
std::string FormatDifference(const ProgramDifference& difference);

}  // namespace lumera
