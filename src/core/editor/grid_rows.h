// How a segment's commands become grid rows and go back into the store: the
// columns, the row text of one command, numbering and colouring, and the
// write-back. These work on any CommandGrid; the editor calls them with its
// current segment.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "core/editor/command_grid.h"
#include "core/model/program_store.h"
#include "core/model/program_types.h"

namespace lumera {

// The eight columns in the order they are added.
const std::array<GridColumnSpec, kGridColumnCount>& GridColumns();

// Adds the eight columns, and the 45 catalogue names to the command column's
// list right after that column.
void SetUpGrid(CommandGrid& grid);

// Background of a row whose comment starts with the digit 0..9.
const std::array<Rgb, 10>& RowPalette();

// The colours of a row with this comment: a leading digit picks the
// background from RowPalette and the text is that background XOR 240 in each
// component; anything else gives kDefaultRowColours.
RowColours RowColoursForComment(std::string_view comment);

// "%3i" of index + 1.
std::string RowNumberText(int row);

enum class RowMode { kAppend, kInsert, kRewrite };

// Append or insert a row for `command` at `row`, or rewrite the label, value
// and HEX cells of row `row` (command and comment cells stay). False, with
// the grid untouched, when the code has no catalogue entry.
bool RenderCommandRow(CommandGrid& grid, const Command& command,
                      std::optional<std::string_view> comment, int row,
                      RowMode mode);

// Colours the row by the first character of its comment cell.
void ColourRowByComment(CommandGrid& grid, int row);

// Writes every number cell, and recolours the rows whose comment slot of
// `segment` (1..10) is present in the store; other rows keep their colours.
void RenumberRows(CommandGrid& grid, const ProgramStore& store, int segment);

// Grid to store for `segment` (1..10): every row's comment cell becomes the
// slot's comment (an empty cell an empty text) and its HEX cell the slot's
// bytes; the slots behind the last row become FF FF FF with their comments
// untouched. Rows from 255 on are not stored.
void CommitGrid(const CommandGrid& grid, ProgramStore& store, int segment);

// Fills an emptied grid with the command list of `segment` (1..10) and
// numbers and colours the rows. Returns the number of rows.
int FillGridFromStore(CommandGrid& grid, const ProgramStore& store,
                      int segment);

}  // namespace lumera
