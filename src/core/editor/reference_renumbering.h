// Keeping references on their commands when the rows of one segment move:
// a jump to command 6 follows that command to 7 when a row is inserted
// above it, in whichever segment the jump stands.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "core/editor/row_moves.h"
#include "core/model/program_store.h"
#include "core/model/program_types.h"

namespace lumera {

struct ReferenceChange {
  int segment_index = 0;
  int command_index = 0;
  Command before;
  Command after;
  friend bool operator==(const ReferenceChange&,
                         const ReferenceChange&) = default;
};

// What one edit did to references beyond its own segment's rows, kept with
// its undo step: which segment's rows moved and where to, and the slots of
// the other segments it changed.
struct ReferenceEdit {
  int segment_index = -1;  // -1: the edit fixed no reference
  RowMoves moves;
  std::vector<ReferenceChange> outside;

  bool fixed() const { return segment_index >= 0; }
  std::size_t ApproximateBytes() const {
    return sizeof(ReferenceEdit) + outside.capacity() * sizeof(ReferenceChange);
  }
};

// Renumbers the reference of `command`, standing in segment index
// `own_segment`, when it names a command of segment index `moved_segment`
// that moved. A reference to a removed command, to command 0 or past the
// old list names no command that moved and stays as it was. True when the
// command changed.
bool RenumberReference(Command& command, int own_segment, int moved_segment,
                       const RowMoves& moves);

// The same over a segment as some copy holds it, up to the first code the
// catalogue lacks; returns how many commands changed.
int RenumberCommands(std::span<Command> commands, int own_segment,
                     int moved_segment, const RowMoves& moves);

// Every command list of `store` except the moved segment's, whose rows the
// editor holds; each change is appended to `changes`. Returns how many.
int RenumberStoredReferences(ProgramStore& store, int moved_segment,
                             const RowMoves& moves,
                             std::vector<ReferenceChange>& changes);

// Undo and redo of recorded changes, each only where its slot still holds
// what the change left there (`after` for the undo, `before` for the redo):
// an edit made since is never overwritten. Returns how many were set.
int UndoReferenceChanges(ProgramStore& store,
                         std::span<const ReferenceChange> changes);
int RedoReferenceChanges(ProgramStore& store,
                         std::span<const ReferenceChange> changes);

// The status line after an edit that changed `count` references (> 0).
std::string ReferenceFixStatusText(int count);

}  // namespace lumera
