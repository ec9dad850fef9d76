// Where each row of a segment's command list went in one edit: an insert, a
// removal or a swap of two rows. The editor keeps references on their
// commands from this.
#pragma once

#include <array>
#include <cstdint>

#include "core/model/program_types.h"

namespace lumera {

class RowMoves {
 public:
  static constexpr int kGone = -1;

  // No rows, nothing moved.
  RowMoves() = default;
  // `count` rows inserted before row `at` of a list of `length` rows.
  static RowMoves Inserted(int length, int at, int count);
  // Rows [first, first + count) removed from a list of `length` rows.
  static RowMoves Removed(int length, int first, int count);
  // Rows `a` and `b` of a list of `length` rows changed places.
  static RowMoves Swapped(int length, int a, int b);

  int old_length() const { return old_length_; }
  int new_length() const { return new_length_; }
  // The new index of old row `index`: kGone for a removed row and for an
  // index outside the old list.
  int NewIndex(int index) const {
    return index >= 0 && index < old_length_ ? to_[index] : kGone;
  }
  // Some row that stayed has a new index.
  bool MovesAny() const;
  // The way back: where each row of the new list came from; rows the edit
  // added are gone on the way back.
  RowMoves Inverse() const;

 private:
  RowMoves(int old_length, int new_length);

  std::array<std::int16_t, kCommandsPerSegment> to_{};
  int old_length_ = 0;
  int new_length_ = 0;
};

}  // namespace lumera
