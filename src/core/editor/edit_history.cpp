#include "core/editor/edit_history.h"

#include <utility>

namespace lumera {

void EditHistory::Record(SegmentSnapshot before) {
  for (const SegmentSnapshot& step : redo_) bytes_ -= step.ApproximateBytes();
  redo_.clear();
  bytes_ += before.ApproximateBytes();
  undo_.push_back(std::move(before));
  Trim(undo_);
}

std::optional<SegmentSnapshot> EditHistory::Undo(SegmentSnapshot current) {
  if (undo_.empty()) return std::nullopt;
  SegmentSnapshot restored = std::move(undo_.back());
  undo_.pop_back();
  bytes_ -= restored.ApproximateBytes();
  bytes_ += current.ApproximateBytes();
  redo_.push_back(std::move(current));
  Trim(redo_);
  return restored;
}

std::optional<SegmentSnapshot> EditHistory::Redo(SegmentSnapshot current) {
  if (redo_.empty()) return std::nullopt;
  SegmentSnapshot restored = std::move(redo_.back());
  redo_.pop_back();
  bytes_ -= restored.ApproximateBytes();
  bytes_ += current.ApproximateBytes();
  undo_.push_back(std::move(current));
  Trim(undo_);
  return restored;
}

void EditHistory::Clear() {
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
}

void EditHistory::Trim(std::deque<SegmentSnapshot>& stack) {
  while (stack.size() > 1 && (undo_.size() + redo_.size() > kMaxHistorySteps ||
                              bytes_ > kMaxHistoryBytes)) {
    bytes_ -= stack.front().ApproximateBytes();
    stack.pop_front();
  }
}

}  // namespace lumera
