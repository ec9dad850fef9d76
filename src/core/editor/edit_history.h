// The undo and redo steps of one segment. A step is the whole segment as it
// was (see SegmentSnapshot): a few kilobytes for a full segment with short
// comments, so snapshots are simpler and safer than diffs at this size.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>

#include "core/editor/segment_snapshot.h"

namespace lumera {

// At most this many steps per segment, undo and redo together, and at most
// this many bytes of snapshots: the oldest steps go first. A segment whose
// every comment is of full length takes some 300 kB a step, so the byte
// budget still keeps more than ten of those.
inline constexpr std::size_t kMaxHistorySteps = 100;
inline constexpr std::size_t kMaxHistoryBytes = std::size_t{4} << 20;

class EditHistory {
 public:
  // A change was made; `before` is the segment as it was. Drops the redo
  // steps.
  void Record(SegmentSnapshot before);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }

  // The state to restore, or nullopt when there is none; `current` is the
  // segment as it is now, kept for the opposite direction.
  std::optional<SegmentSnapshot> Undo(SegmentSnapshot current);
  std::optional<SegmentSnapshot> Redo(SegmentSnapshot current);

  void Clear();

 private:
  // Drops the oldest steps of `stack` while a bound is exceeded; the newest
  // step always stays.
  void Trim(std::deque<SegmentSnapshot>& stack);
  std::size_t Bytes() const;

  std::deque<SegmentSnapshot> undo_;  // newest at the back
  std::deque<SegmentSnapshot> redo_;
};

}  // namespace lumera
