#include "core/editor/reference_renumbering.h"

#include "core/model/command_catalogue.h"
#include "core/model/command_references.h"

namespace lumera {

bool RenumberReference(Command& command, int own_segment, int moved_segment,
                       const RowMoves& moves) {
  const std::optional<ReferenceTarget> target = TargetOf(command, own_segment);
  if (!target || target->segment != moved_segment + 1) return false;
  const int moved_to = moves.NewIndex(target->command - 1);
  if (moved_to == RowMoves::kGone || moved_to == target->command - 1) {
    return false;
  }
  command.param1 = static_cast<std::uint8_t>(moved_to + 1);
  return true;
}

int RenumberCommands(std::span<Command> commands, int own_segment,
                     int moved_segment, const RowMoves& moves) {
  int changed = 0;
  for (Command& command : commands) {
    if (!FindCommandDef(command.code)) break;
    if (RenumberReference(command, own_segment, moved_segment, moves)) {
      ++changed;
    }
  }
  return changed;
}

int RenumberStoredReferences(ProgramStore& store, int moved_segment,
                             const RowMoves& moves,
                             std::vector<ReferenceChange>& changes) {
  int changed = 0;
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    if (segment == moved_segment) continue;
    const int length = store.CommandListLength(segment);
    for (int command = 0; command < length; ++command) {
      const Command before = store.CommandAt(segment, command);
      Command after = before;
      if (!RenumberReference(after, segment, moved_segment, moves)) continue;
      store.SetCommand(segment, command, after);
      changes.push_back(ReferenceChange{segment, command, before, after});
      ++changed;
    }
  }
  return changed;
}

namespace {

int SetWhereHeld(ProgramStore& store, std::span<const ReferenceChange> changes,
                 bool undo) {
  int set = 0;
  for (const ReferenceChange& change : changes) {
    const Command& held = undo ? change.after : change.before;
    if (store.CommandAt(change.segment_index, change.command_index) != held) {
      continue;
    }
    store.SetCommand(change.segment_index, change.command_index,
                     undo ? change.before : change.after);
    ++set;
  }
  return set;
}

}  // namespace

int UndoReferenceChanges(ProgramStore& store,
                         std::span<const ReferenceChange> changes) {
  return SetWhereHeld(store, changes, true);
}

int RedoReferenceChanges(ProgramStore& store,
                         std::span<const ReferenceChange> changes) {
  return SetWhereHeld(store, changes, false);
}

std::string ReferenceFixStatusText(int count) {
  return "Poprawiono odwołania: " + std::to_string(count);
}

}  // namespace lumera
