// How the working copy's rows look in the grid: the eight columns, the text
// of each cell and the colours of a row. The Qt grid formats with these.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/editor/working_segment.h"

namespace lumera {

// The eight columns, in order.
inline constexpr int kNumberColumn = 0;   // "%3i" of the row index + 1
inline constexpr int kCommandColumn = 1;  // catalogue index, icon and name
inline constexpr int kLabel1Column = 2;
inline constexpr int kValue1Column = 3;
inline constexpr int kLabel2Column = 4;
inline constexpr int kValue2Column = 5;
inline constexpr int kCommentColumn = 6;
inline constexpr int kHexColumn = 7;  // the row's bytes
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

// The grid's own colours; a row without a leading digit in its comment
// shows kDefaultRowColours.
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

const std::array<GridColumnSpec, kGridColumnCount>& GridColumns();

// Background of a row whose comment starts with the digit 0..9.
const std::array<Rgb, 10>& RowPalette();

// The colours of a row with this comment: a leading digit picks the
// background from RowPalette and the text is that background XOR 240 in each
// component; anything else gives kDefaultRowColours.
RowColours RowColoursForComment(std::string_view comment);

// "%3i" of index + 1.
std::string RowNumberText(int row);

// The catalogue index of the row's code (rows hold only codes the
// catalogue has).
int RowCommandIndex(const WorkingRow& row);

// The text of a text column of row `index`: number, labels, values as a grid
// row shows them, comment, HEX. Empty for the command column.
std::string CellText(const WorkingRow& row, int index, int column);

}  // namespace lumera
