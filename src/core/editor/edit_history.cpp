#include "core/editor/edit_history.h"

#include <utility>

namespace lumera {

void EditHistory::Record(SegmentSnapshot before) {
  redo_.clear();
  undo_.push_back(std::move(before));
  Trim(undo_);
}

std::optional<SegmentSnapshot> EditHistory::Undo(SegmentSnapshot current) {
  if (undo_.empty()) return std::nullopt;
  SegmentSnapshot restored = std::move(undo_.back());
  undo_.pop_back();
  redo_.push_back(std::move(current));
  Trim(redo_);
  return restored;
}

std::optional<SegmentSnapshot> EditHistory::Redo(SegmentSnapshot current) {
  if (redo_.empty()) return std::nullopt;
  SegmentSnapshot restored = std::move(redo_.back());
  redo_.pop_back();
  undo_.push_back(std::move(current));
  Trim(undo_);
  return restored;
}

void EditHistory::Clear() {
  undo_.clear();
  redo_.clear();
}

std::size_t EditHistory::Bytes() const {
  std::size_t bytes = 0;
  for (const SegmentSnapshot& step : undo_) bytes += step.ApproximateBytes();
  for (const SegmentSnapshot& step : redo_) bytes += step.ApproximateBytes();
  return bytes;
}

void EditHistory::Trim(std::deque<SegmentSnapshot>& stack) {
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
