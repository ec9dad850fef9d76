#include "core/editor/row_moves.h"

#include <algorithm>

namespace lumera {
namespace {

int Bounded(int value, int low, int high) {
  return std::clamp(value, low, std::max(low, high));
}

}  // namespace

RowMoves::RowMoves(int old_length, int new_length)
    : old_length_(Bounded(old_length, 0, kCommandsPerSegment)),
      new_length_(Bounded(new_length, 0, kCommandsPerSegment)) {
  for (int row = 0; row < old_length_; ++row) {
    to_[row] = static_cast<std::int16_t>(row);
  }
}

RowMoves RowMoves::Inserted(int length, int at, int count) {
  length = Bounded(length, 0, kCommandsPerSegment);
  count = Bounded(count, 0, kCommandsPerSegment - length);
  at = Bounded(at, 0, length);
  RowMoves moves(length, length + count);
  for (int row = at; row < length; ++row) {
    moves.to_[row] = static_cast<std::int16_t>(row + count);
  }
  return moves;
}

RowMoves RowMoves::Removed(int length, int first, int count) {
  length = Bounded(length, 0, kCommandsPerSegment);
  first = Bounded(first, 0, length);
  count = Bounded(count, 0, length - first);
  RowMoves moves(length, length - count);
  for (int row = first; row < length; ++row) {
    moves.to_[row] =
        static_cast<std::int16_t>(row < first + count ? kGone : row - count);
  }
  return moves;
}

RowMoves RowMoves::Swapped(int length, int a, int b) {
  RowMoves moves(length, length);
  if (a >= 0 && b >= 0 && a < moves.old_length_ && b < moves.old_length_) {
    std::swap(moves.to_[a], moves.to_[b]);
  }
  return moves;
}

bool RowMoves::MovesAny() const {
  for (int row = 0; row < old_length_; ++row) {
    if (to_[row] != kGone && to_[row] != row) return true;
  }
  return false;
}

RowMoves RowMoves::Inverse() const {
  RowMoves back(new_length_, old_length_);
  for (int row = 0; row < new_length_; ++row) back.to_[row] = kGone;
  for (int row = 0; row < old_length_; ++row) {
    if (to_[row] != kGone) back.to_[to_[row]] = static_cast<std::int16_t>(row);
  }
  return back;
}

}  // namespace lumera
