#include "core/editor/working_segment.h"

#include <algorithm>

#include "core/model/command_catalogue.h"

namespace lumera {
namespace {

constexpr int kColumnCount = 8;

}  // namespace

WorkingSegment::WorkingSegment() {
  // Reserved once: moves swap the buffers, assignments stay within them.
  for (WorkingRow& row : rows_) row.comment.reserve(kMaxCommentBytes);
}

void WorkingSegment::Put(int index, const Command& command,
                         std::string_view comment, int origin) {
  WorkingRow& row = rows_[index];
  row.command = command;
  row.comment.assign(comment.substr(0, kMaxCommentBytes));
  row.origin = origin;
}

void WorkingSegment::BeginReset() {
  if (listener_ != nullptr) listener_->RowsAboutToBeReset();
  size_ = 0;
}

void WorkingSegment::EndReset() {
  current_row_ = size_ > 0 ? 0 : -1;
  if (listener_ != nullptr) listener_->RowsReset();
  CurrentMoved();
}

void WorkingSegment::CurrentMoved() {
  if (listener_ != nullptr) {
    listener_->CurrentCellMoved(current_row(), current_column_);
  }
}

void WorkingSegment::Load(const ProgramStore& store, int segment_index) {
  BeginReset();
  for (int slot = 0; slot < kCommandsPerSegment; ++slot) {
    const Command command = store.CommandAt(segment_index, slot);
    if (!FindCommandDef(command.code)) break;
    Put(size_++, command, store.comments().Text(segment_index, slot), slot);
  }
  EndReset();
}

void WorkingSegment::WriteBack(ProgramStore& store, int segment_index) {
  for (int slot = 0; slot < kCommandsPerSegment; ++slot) {
    if (slot < size_) {
      // A row with an empty comment gets an empty text, not an absent one.
      store.SetComment(segment_index, slot, rows_[slot].comment);
      store.SetCommand(segment_index, slot, rows_[slot].command);
      rows_[slot].origin = slot;
    } else {
      store.SetCommand(segment_index, slot, kEmptyCommand);
    }
  }
}

bool WorkingSegment::Insert(int row, const Command& command,
                            std::string_view comment, int origin) {
  if (full() || row < 0 || row > size_) return false;
  if (listener_ != nullptr) listener_->RowAboutToBeInserted(row);
  // The free row behind the list moves to `row`.
  std::rotate(rows_.begin() + row, rows_.begin() + size_,
              rows_.begin() + size_ + 1);
  ++size_;
  Put(row, command, comment, origin);
  if (listener_ != nullptr) listener_->RowInserted(row);
  if (size_ == 1) {
    current_row_ = 0;
    CurrentMoved();
  }
  return true;
}

void WorkingSegment::Remove(int row) {
  if (!ValidRow(row)) return;
  if (listener_ != nullptr) listener_->RowAboutToBeRemoved(row);
  std::rotate(rows_.begin() + row, rows_.begin() + row + 1,
              rows_.begin() + size_);
  --size_;
  if (listener_ != nullptr) listener_->RowRemoved(row);
  if (current_row_ >= size_) {
    current_row_ = size_ - 1;
    CurrentMoved();
  }
}

void WorkingSegment::Move(int row, int target) {
  if (!ValidRow(row) || !ValidRow(target) || row == target) return;
  if (listener_ != nullptr) listener_->RowAboutToBeMoved(row, target);
  if (row < target) {
    std::rotate(rows_.begin() + row, rows_.begin() + row + 1,
                rows_.begin() + target + 1);
  } else {
    std::rotate(rows_.begin() + target, rows_.begin() + row,
                rows_.begin() + row + 1);
  }
  if (listener_ != nullptr) listener_->RowMoved(row, target);
}

void WorkingSegment::Clear() {
  BeginReset();
  EndReset();
}

void WorkingSegment::SetCommand(int row, const Command& command) {
  if (!ValidRow(row)) return;
  rows_[row].command = command;
  if (listener_ != nullptr) listener_->RowChanged(row);
}

void WorkingSegment::SetParam(int row, int number, std::uint8_t value) {
  if (!ValidRow(row) || (number != 1 && number != 2)) return;
  (number == 1 ? rows_[row].command.param1 : rows_[row].command.param2) = value;
  if (listener_ != nullptr) listener_->RowChanged(row);
}

void WorkingSegment::SetComment(int row, std::string_view comment) {
  if (!ValidRow(row)) return;
  rows_[row].comment.assign(comment.substr(0, kMaxCommentBytes));
  if (listener_ != nullptr) listener_->RowChanged(row);
}

void WorkingSegment::SetCurrentCell(int row, int column) {
  if (!ValidRow(row) || column < 0 || column >= kColumnCount) return;
  if (row == current_row_ && column == current_column_) return;
  current_row_ = row;
  current_column_ = column;
  CurrentMoved();
}

}  // namespace lumera
