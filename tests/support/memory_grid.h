// A CommandGrid held in memory, for tests and benchmarks. It behaves like a
// grid widget: the user's edits go through the before-edit and after-edit
// notifications and a refused value is put back; a cell written outside the
// editor's bracket counts as a user edit (and is counted, so a test can tell
// an unbracketed write of the editor).
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/editor/command_grid.h"

namespace lumera {

class MemoryGrid : public CommandGrid {
 public:
  struct Row {
    std::array<std::string, kGridColumnCount> text{};
    int command_index = 0;
    RowColours colours = kDefaultRowColours;
  };

  void SetEvents(CommandGridEvents* events) { events_ = events; }

  // CommandGrid.
  void AddColumn(const GridColumnSpec& column) override {
    columns_.push_back(column);
    lists_.emplace_back();
  }
  void AddListText(int column, std::string_view text) override {
    if (column >= 0 && column < static_cast<int>(lists_.size())) {
      lists_[column].emplace_back(text);
    }
  }
  // The first row of an empty grid becomes current, without a notification.
  void AppendRow(const RowRecord& record) override {
    rows_.push_back(MakeRow(record));
    if (current_row_ < 0) current_row_ = 0;
  }
  void InsertRow(int row, const RowRecord& record) override {
    if (row < 0 || row > RowCount()) return;
    rows_.insert(rows_.begin() + row, MakeRow(record));
    if (current_row_ < 0) current_row_ = 0;
  }
  void DeleteRow(int row) override {
    if (!ValidRow(row)) return;
    rows_.erase(rows_.begin() + row);
    current_row_ = std::min(current_row_, RowCount() - 1);
  }
  void MoveRow(int row, int target) override {
    if (!ValidRow(row) || !ValidRow(target)) return;
    Row moved = std::move(rows_[row]);
    rows_.erase(rows_.begin() + row);
    rows_.insert(rows_.begin() + target, std::move(moved));
  }
  void DeleteAllRows() override {
    rows_.clear();
    current_row_ = -1;
  }
  int RowCount() const override { return static_cast<int>(rows_.size()); }
  int CurrentRow() const override { return rows_.empty() ? -1 : current_row_; }
  int CurrentColumn() const override { return current_column_; }
  void SetCurrentCell(int row, int column) override {
    if (!ValidRow(row) || column < 0 || column >= kGridColumnCount) return;
    const bool moved = row != current_row_ || column != current_column_;
    current_row_ = row;
    current_column_ = column;
    if (moved && events_ != nullptr) events_->OnCurrentCellMoved(row, column);
  }
  std::string CellText(int row, int column) const override {
    if (!ValidRow(row) || column < 0 || column >= kGridColumnCount) return {};
    return rows_[row].text[column];
  }
  void SetCellText(int row, int column, std::string_view text) override {
    if (!ValidRow(row) || column < 0 || column >= kGridColumnCount) return;
    if (update_depth_ == 0) {
      // Not bracketed: a widget would report this as the user's change.
      ++unbracketed_writes_;
      rows_[row].text[column] = std::string(text);
      if (events_ != nullptr) events_->OnCellEdited(row, column);
      return;
    }
    rows_[row].text[column] = std::string(text);
  }
  int CommandIndex(int row) const override {
    return ValidRow(row) ? rows_[row].command_index : -1;
  }
  void SetRowColours(int row, const RowColours& colours) override {
    if (ValidRow(row)) rows_[row].colours = colours;
  }
  void BeginUpdate() override { ++update_depth_; }
  void EndUpdate() override {
    if (update_depth_ > 0) --update_depth_;
  }

  // The user's actions. Each returns whether the edit took effect.
  bool UserEditText(int row, int column, std::string_view text) {
    if (!ValidRow(row) || column == kCommandColumn) return false;
    if (events_ != nullptr && !events_->OnBeforeCellEdit(row, column)) {
      return false;
    }
    std::string before = rows_[row].text[column];
    rows_[row].text[column] = std::string(text);
    return Deliver(row, column, [&] { rows_[row].text[column] = before; });
  }
  bool UserChooseCommand(int row, int index) {
    if (!ValidRow(row)) return false;
    if (events_ != nullptr && !events_->OnBeforeCellEdit(row, kCommandColumn)) {
      return false;
    }
    const int before = rows_[row].command_index;
    rows_[row].command_index = index;
    return Deliver(row, kCommandColumn,
                   [&] { rows_[row].command_index = before; });
  }
  void UserSelect(int row, int column) { SetCurrentCell(row, column); }

  // Inspection.
  const Row& row(int index) const { return rows_.at(index); }
  const std::vector<GridColumnSpec>& columns() const { return columns_; }
  const std::vector<std::string>& list_texts(int column) const {
    return lists_.at(column);
  }
  int update_depth() const { return update_depth_; }
  int unbracketed_writes() const { return unbracketed_writes_; }

 private:
  bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }

  static Row MakeRow(const RowRecord& record) {
    Row row;
    row.command_index = record.command_index;
    row.text[kLabel1Column] = record.label1;
    row.text[kValue1Column] = record.value1;
    row.text[kLabel2Column] = record.label2;
    row.text[kValue2Column] = record.value2;
    row.text[kCommentColumn] = record.comment.value_or(std::string());
    row.text[kHexColumn] = record.hex;
    return row;
  }

  template <typename Restore>
  bool Deliver(int row, int column, Restore restore) {
    if (events_ == nullptr || events_->OnCellEdited(row, column)) return true;
    restore();
    return false;
  }

  std::vector<GridColumnSpec> columns_;
  std::vector<std::vector<std::string>> lists_;
  std::vector<Row> rows_;
  int current_row_ = -1;
  int current_column_ = 0;
  int update_depth_ = 0;
  int unbracketed_writes_ = 0;
  CommandGridEvents* events_ = nullptr;
};

}  // namespace lumera
