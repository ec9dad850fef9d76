#include "core/editor/segment_snapshot.h"

#include <algorithm>

namespace lumera {

std::size_t SegmentSnapshot::ApproximateBytes() const {
  std::size_t bytes = sizeof(SegmentSnapshot);
  for (const SnapshotRow& row : rows) {
    bytes += sizeof(SnapshotRow) + row.comment.capacity();
  }
  for (const auto& [command, text] : comments) {
    bytes += sizeof(std::pair<int, std::string>) + text.capacity();
  }
  return bytes;
}

SegmentSnapshot CaptureSegment(const WorkingSegment& rows,
                               const ProgramStore& store, int segment) {
  SegmentSnapshot snapshot;
  const int segment_index = segment - 1;
  snapshot.rows.reserve(static_cast<std::size_t>(rows.size()));
  for (int row = 0; row < rows.size(); ++row) {
    const WorkingRow& shown = rows.row(row);
    snapshot.rows.push_back(
        SnapshotRow{shown.command, shown.comment, shown.origin});
  }
  for (int command = 0; command < kCommandsPerSegment; ++command) {
    snapshot.store_slots[command] = store.CommandAt(segment_index, command);
    if (const std::string* text = store.Comment(segment_index, command)) {
      snapshot.comments.emplace_back(command, *text);
    }
  }
  snapshot.current_row = rows.current_row();
  return snapshot;
}

void RestoreSegment(WorkingSegment& rows, ProgramStore& store, int segment,
                    const SegmentSnapshot& snapshot, int column) {
  const int segment_index = segment - 1;
  for (int command = 0; command < kCommandsPerSegment; ++command) {
    store.SetCommand(segment_index, command, snapshot.store_slots[command]);
  }
  store.ClearSegmentComments(segment_index);
  for (const auto& [command, text] : snapshot.comments) {
    store.SetComment(segment_index, command, text);
  }
  rows.Replace(snapshot.rows);
  if (rows.size() > 0) {
    rows.SetCurrentCell(std::clamp(snapshot.current_row, 0, rows.size() - 1),
                        column);
  }
}

}  // namespace lumera
