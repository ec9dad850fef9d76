// The editor's working copy of the shown segment: up to 255 rows, each the
// three command bytes and the row's comment. The grid on screen is a view of
// it; edits land here first and reach the store at WriteBack.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/model/comment_table.h"
#include "core/model/program_store.h"
#include "core/model/program_types.h"

namespace lumera {

// Room for the longest comment the store keeps (kMaxCommentChars code
// points of up to four bytes each), so that no edit allocates.
inline constexpr std::size_t kMaxCommentBytes = kMaxCommentChars * 4;

struct WorkingRow {
  Command command;
  std::string comment;  // "" for none
  // The store slot the command came from at the last load or write-back,
  // -1 for a row that has not been written back yet. A comment edited
  // before the next write-back is stored there: that slot still holds this
  // row's command, however the rows were moved.
  int origin = -1;
};

// Told of every change, before and after it, in the order a Qt item model
// needs. Row indexes count from 0.
class WorkingSegmentListener {
 public:
  virtual ~WorkingSegmentListener() = default;
  virtual void RowsAboutToBeReset() = 0;
  virtual void RowsReset() = 0;
  virtual void RowAboutToBeInserted(int row) = 0;
  virtual void RowInserted(int row) = 0;
  virtual void RowAboutToBeRemoved(int row) = 0;
  virtual void RowRemoved(int row) = 0;
  // The row at `row` is taken out and put at `target`.
  virtual void RowAboutToBeMoved(int row, int target) = 0;
  virtual void RowMoved(int row, int target) = 0;
  virtual void RowChanged(int row) = 0;
  // The current cell has moved; row -1 when there are no rows.
  virtual void CurrentCellMoved(int row, int column) = 0;
};

class WorkingSegment {
 public:
  WorkingSegment();
  WorkingSegment(const WorkingSegment&) = delete;
  WorkingSegment& operator=(const WorkingSegment&) = delete;

  void SetListener(WorkingSegmentListener* listener) { listener_ = listener; }

  int size() const { return size_; }
  bool full() const { return size_ == kCommandsPerSegment; }
  bool ValidRow(int row) const { return row >= 0 && row < size_; }
  const WorkingRow& row(int index) const { return rows_[index]; }

  // Store to rows: the run of slots up to the first code the catalogue
  // lacks, with their comments; every row's origin is its slot.
  void Load(const ProgramStore& store, int segment_index);
  // Rows to store: every row's bytes and comment into the slot of its
  // index; the slots behind the list become FF FF FF, their comments
  // untouched. Every row's origin becomes its index.
  void WriteBack(ProgramStore& store, int segment_index);

  // Edits; an index out of range changes nothing. Insert before `row`
  // (row == size() appends) returns false on a full segment.
  bool Insert(int row, const Command& command, std::string_view comment,
              int origin = -1);
  void Remove(int row);
  void Move(int row, int target);
  void Clear();
  void SetCommand(int row, const Command& command);
  void SetParam(int row, int number, std::uint8_t value);  // number 1 or 2
  // Cut to kMaxCommentBytes; callers check the text first.
  void SetComment(int row, std::string_view comment);
  // Replaces every row at once (undo and redo).
  template <typename Rows>
  void Replace(const Rows& rows) {
    BeginReset();
    for (const auto& row : rows) {
      if (size_ == kCommandsPerSegment) break;
      Put(size_++, row.command, row.comment, row.origin);
    }
    EndReset();
  }

  // The current cell: row -1 when there are no rows. A row out of range is
  // ignored; inserting into an empty segment makes row 0 current, removing
  // keeps the current row within the rows.
  int current_row() const { return size_ == 0 ? -1 : current_row_; }
  int current_column() const { return current_column_; }
  void SetCurrentCell(int row, int column);

 private:
  void Put(int index, const Command& command, std::string_view comment,
           int origin);
  void BeginReset();
  void EndReset();
  void CurrentMoved();

  std::array<WorkingRow, kCommandsPerSegment> rows_;
  int size_ = 0;
  int current_row_ = -1;
  int current_column_ = 1;
  WorkingSegmentListener* listener_ = nullptr;
};

}  // namespace lumera
