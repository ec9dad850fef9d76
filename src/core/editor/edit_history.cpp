#include "core/editor/edit_history.h"

#include <utility>
#include <vector>

namespace lumera {

void EditHistory::Record(SegmentSnapshot before, ReferenceEdit references) {
  redo_.clear();
  undo_.push_back(HistoryEntry{std::move(before), std::move(references)});
  Trim(undo_);
}

std::optional<HistoryEntry> EditHistory::Undo(SegmentSnapshot current) {
  if (undo_.empty()) return std::nullopt;
  HistoryEntry restored = std::move(undo_.back());
  undo_.pop_back();
  // The same step, seen from the other side.
  redo_.push_back(HistoryEntry{std::move(current), restored.references});
  Trim(redo_);
  return restored;
}

std::optional<HistoryEntry> EditHistory::Redo(SegmentSnapshot current) {
  if (redo_.empty()) return std::nullopt;
  HistoryEntry restored = std::move(redo_.back());
  redo_.pop_back();
  undo_.push_back(HistoryEntry{std::move(current), restored.references});
  Trim(undo_);
  return restored;
}

void EditHistory::RenumberReferences(int own_segment, int moved_segment,
                                     const RowMoves& moves) {
  for (std::deque<HistoryEntry>* stack : {&undo_, &redo_}) {
    for (HistoryEntry& entry : *stack) {
      SegmentSnapshot& state = entry.state;
      for (SnapshotRow& row : state.rows) {
        RenumberReference(row.command, own_segment, moved_segment, moves);
      }
      RenumberCommands(state.store_slots, own_segment, moved_segment, moves);
      // The slots this step changed in the moved segment went with their
      // commands.
      std::vector<ReferenceChange>& outside = entry.references.outside;
      for (ReferenceChange& change : outside) {
        if (change.segment_index == moved_segment) {
          change.command_index = moves.NewIndex(change.command_index);
        }
      }
      std::erase_if(outside, [](const ReferenceChange& change) {
        return change.command_index == RowMoves::kGone;
      });
    }
  }
}

void EditHistory::Clear() {
  undo_.clear();
  redo_.clear();
}

std::size_t EditHistory::Bytes() const {
  std::size_t bytes = 0;
  for (const HistoryEntry& step : undo_) bytes += step.ApproximateBytes();
  for (const HistoryEntry& step : redo_) bytes += step.ApproximateBytes();
  return bytes;
}

void EditHistory::Trim(std::deque<HistoryEntry>& stack) {
  // Summed afresh: a hundred snapshots are quickly counted, and a running
  // total could drift from what the snapshots hold.
  std::size_t bytes = Bytes();
  while (stack.size() > 1 && (undo_.size() + redo_.size() > kMaxHistorySteps ||
                              bytes > kMaxHistoryBytes)) {
    bytes -= stack.front().ApproximateBytes();
    stack.pop_front();
  }
}

}  // namespace lumera
