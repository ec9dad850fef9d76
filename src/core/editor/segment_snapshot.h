// One segment as the editor page holds it at a moment: the working copy's
// rows and the store's 255 slots and comments of that segment. The two may
// disagree between write-backs ("Kasuj Listę", moves and typed values touch
// only the working copy), so both are kept.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "core/editor/working_segment.h"
#include "core/model/program_store.h"
#include "core/model/program_types.h"

namespace lumera {

struct SnapshotRow {
  Command command;
  std::string comment;
  int origin = -1;  // see WorkingRow
  friend bool operator==(const SnapshotRow&, const SnapshotRow&) = default;
};

struct SegmentSnapshot {
  std::vector<SnapshotRow> rows;
  // Not "slots": Qt defines that word for the files that include this.
  std::array<Command, kCommandsPerSegment> store_slots{};
  // Only the present comment store_slots: (command index, text).
  std::vector<std::pair<int, std::string>> comments;
  int current_row = -1;  // where the cursor was; not part of the content

  // Grid rows, store_slots and comments alike; the cursor does not count.
  bool SameContent(const SegmentSnapshot& other) const {
    return rows == other.rows && store_slots == other.store_slots &&
           comments == other.comments;
  }
  // Roughly the heap and object bytes held, for the history's budget.
  std::size_t ApproximateBytes() const;
};

// `segment` is 1..10.
SegmentSnapshot CaptureSegment(const WorkingSegment& rows,
                               const ProgramStore& store, int segment);

// Puts the store's slots and comments of `segment` back as captured and
// refills the working copy with the captured rows, the captured row current
// in `column`.
void RestoreSegment(WorkingSegment& rows, ProgramStore& store, int segment,
                    const SegmentSnapshot& snapshot, int column);

}  // namespace lumera
