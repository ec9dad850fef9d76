#include "core/editor/segment_snapshot.h"

#include <algorithm>

#include "core/editor/grid_rows.h"
#include "core/model/command_hex.h"

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

SegmentSnapshot CaptureSegment(const CommandGrid& grid,
                               const ProgramStore& store, int segment) {
  SegmentSnapshot snapshot;
  const int segment_index = segment - 1;
  const int rows = grid.RowCount();
  snapshot.rows.reserve(static_cast<std::size_t>(rows));
  for (int row = 0; row < rows; ++row) {
    snapshot.rows.push_back(
        SnapshotRow{ParseCommandHex(grid.CellText(row, kHexColumn)),
                    grid.CellText(row, kCommentColumn)});
  }
  for (int command = 0; command < kCommandsPerSegment; ++command) {
    snapshot.store_slots[command] = store.CommandAt(segment_index, command);
    if (const std::string* text = store.Comment(segment_index, command)) {
      snapshot.comments.emplace_back(command, *text);
    }
  }
  snapshot.current_row = grid.CurrentRow();
  return snapshot;
}

void RestoreSegment(CommandGrid& grid, ProgramStore& store, int segment,
                    const SegmentSnapshot& snapshot, int column) {
  const int segment_index = segment - 1;
  for (int command = 0; command < kCommandsPerSegment; ++command) {
    store.SetCommand(segment_index, command, snapshot.store_slots[command]);
  }
  store.ClearSegmentComments(segment_index);
  for (const auto& [command, text] : snapshot.comments) {
    store.SetComment(segment_index, command, text);
  }
  const GridUpdate update(grid);
  grid.DeleteAllRows();
  for (const SnapshotRow& row : snapshot.rows) {
    RenderCommandRow(grid, row.command, row.comment, grid.RowCount(),
                     RowMode::kAppend);
  }
  RenumberRows(grid, store, segment);
  // Every row by its cell: a row whose comment is not yet stored keeps the
  // colours it showed.
  for (int row = 0; row < grid.RowCount(); ++row) {
    ColourRowByComment(grid, row);
  }
  const int rows = grid.RowCount();
  if (rows > 0) {
    grid.SetCurrentCell(std::clamp(snapshot.current_row, 0, rows - 1), column);
  }
}

}  // namespace lumera
