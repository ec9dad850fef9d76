// The undo and redo steps of one segment. A step is the whole segment as it
// was (see SegmentSnapshot): a few kilobytes for a full segment with short
// comments, so snapshots are simpler and safer than diffs at this size.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "core/editor/reference_renumbering.h"
#include "core/editor/segment_snapshot.h"

namespace lumera {

// At most this many steps per segment, undo and redo together, and at most
// this many bytes of snapshots: the oldest steps go first. A segment whose
// every comment is of full length takes some 300 kB a step, so the byte
// budget still keeps more than ten of those.
inline constexpr std::size_t kMaxHistorySteps = 100;
inline constexpr std::size_t kMaxHistoryBytes = std::size_t{4} << 20;

// A state of the segment, and what the step between it and the state next
// to it did to references elsewhere (see ReferenceEdit).
struct HistoryEntry {
  SegmentSnapshot state;
  ReferenceEdit references;
  std::size_t ApproximateBytes() const {
    return state.ApproximateBytes() + references.ApproximateBytes();
  }
};

class EditHistory {
 public:
  // A change was made; `before` is the segment as it was and `references`
  // what the change did to references. Drops the redo steps.
  void Record(SegmentSnapshot before, ReferenceEdit references = {});

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }

  // The state to restore with the step's references, or nullopt when there
  // is none; `current` is the segment as it is now, kept for the opposite
  // direction with the same references.
  std::optional<HistoryEntry> Undo(SegmentSnapshot current);
  std::optional<HistoryEntry> Redo(SegmentSnapshot current);

  void Clear();

  // The rows of another segment moved: every state kept here, of segment
  // index `own_segment`, has its references to them renumbered, so that
  // restoring it does not bring back numbers that now name other commands;
  // the slots a step changed in that segment follow their commands.
  void RenumberReferences(int own_segment, int moved_segment,
                          const RowMoves& moves);

 private:
  // Drops the oldest steps of `stack` while a bound is exceeded; the newest
  // step always stays.
  void Trim(std::deque<HistoryEntry>& stack);
  std::size_t Bytes() const;

  std::deque<HistoryEntry> undo_;  // newest at the back
  std::deque<HistoryEntry> redo_;
};

}  // namespace lumera
