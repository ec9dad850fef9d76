// The grid the editor page shows a segment in, as the editor sees it: a
// small set of operations and three notifications. The editor never knows
// which widget stands behind it; a toolkit grid and the in-memory grid of the
// tests both implement this.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumera {

// The eight columns, in the order they are added.
inline constexpr int kNumberColumn = 0;   // "%3i" of the row index + 1
inline constexpr int kCommandColumn = 1;  // catalogue index, icon and name
inline constexpr int kLabel1Column = 2;
inline constexpr int kValue1Column = 3;
inline constexpr int kLabel2Column = 4;
inline constexpr int kValue2Column = 5;
inline constexpr int kCommentColumn = 6;
inline constexpr int kHexColumn = 7;  // the row's authoritative bytes
inline constexpr int kGridColumnCount = 8;

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct RowColours {
  Rgb background;
  Rgb text;
  friend bool operator==(const RowColours&, const RowColours&) = default;
};

// The grid's own colours; a new row shows kDefaultRowColours.
inline constexpr Rgb kGridBackground{255, 255, 255};
inline constexpr Rgb kGridLines{128, 128, 128};
inline constexpr Rgb kGridText{0, 0, 128};
inline constexpr RowColours kDefaultRowColours{kGridBackground, kGridText};

enum class CellAlignment { kLeft, kRight };
enum class CellType {
  kText,
  // A drop-down list of the catalogue names with their icons; the cell holds
  // the catalogue index (list position = catalogue index = icon index).
  kCommandList,
};

struct GridColumnSpec {
  std::string_view header;
  int width = 0;  // pixels
  CellAlignment header_alignment = CellAlignment::kLeft;
  CellAlignment cell_alignment = CellAlignment::kLeft;
  CellType type = CellType::kText;
};

// The data of a new row in column order; the number cell is written
// afterwards by RenumberRows.
struct RowRecord {
  int command_index = 0;
  std::string label1;
  std::string value1;
  std::string label2;
  std::string value2;
  std::optional<std::string> comment;  // nullopt: the slot has no comment
  std::string hex;
};

// What the grid tells the editor. Row and column indexes count from 0.
class CommandGridEvents {
 public:
  virtual ~CommandGridEvents() = default;

  // The current cell has moved. Delivered whoever moved it; the editor's
  // handling is idempotent.
  virtual void OnCurrentCellMoved(int row, int column) = 0;
  // The user is about to edit a cell. False refuses the edit: the grid opens
  // no editor for it.
  virtual bool OnBeforeCellEdit(int row, int column) = 0;
  // The user has changed a cell's value, which the cell already holds. False
  // refuses the value: the grid puts back what the cell held before the edit.
  virtual bool OnCellEdited(int row, int column) = 0;
};

// The grid's operations. Text is UTF-8.
class CommandGrid {
 public:
  virtual ~CommandGrid() = default;

  // Set-up: a column at the right, and a text appended to the drop-down list
  // of a kCommandList column.
  virtual void AddColumn(const GridColumnSpec& column) = 0;
  virtual void AddListText(int column, std::string_view text) = 0;

  // Rows. InsertRow puts the new row before `row` (row == RowCount()
  // appends). MoveRow takes row `row` out and puts it at position `target`.
  virtual void AppendRow(const RowRecord& record) = 0;
  virtual void InsertRow(int row, const RowRecord& record) = 0;
  virtual void DeleteRow(int row) = 0;
  virtual void MoveRow(int row, int target) = 0;
  virtual void DeleteAllRows() = 0;
  virtual int RowCount() const = 0;

  // The current cell; CurrentRow() is -1 when the grid has no rows.
  virtual int CurrentRow() const = 0;
  virtual int CurrentColumn() const = 0;
  virtual void SetCurrentCell(int row, int column) = 0;

  // Cells: the text of a text column, and the catalogue index held by the
  // command column (kCommandColumn).
  virtual std::string CellText(int row, int column) const = 0;
  virtual void SetCellText(int row, int column, std::string_view text) = 0;
  virtual int CommandIndex(int row) const = 0;

  virtual void SetRowColours(int row, const RowColours& colours) = 0;

  // The editor brackets its own updates; a grid must not report cell writes
  // made inside the bracket as user edits. Brackets nest.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
};

// Holds the bracket for one scope.
class GridUpdate {
 public:
  explicit GridUpdate(CommandGrid& grid) : grid_(grid) { grid_.BeginUpdate(); }
  ~GridUpdate() { grid_.EndUpdate(); }
  GridUpdate(const GridUpdate&) = delete;
  GridUpdate& operator=(const GridUpdate&) = delete;

 private:
  CommandGrid& grid_;
};

}  // namespace lumera
