#include "core/editor/grid_rows.h"

#include <cstdio>
#include <string>

#include "core/model/command_catalogue.h"
#include "core/model/command_hex.h"

namespace lumera {
namespace {

constexpr CellAlignment kL = CellAlignment::kLeft;
constexpr CellAlignment kR = CellAlignment::kRight;

constexpr std::array<GridColumnSpec, kGridColumnCount> kColumns{{
    {"Nr", 25, kR, kR, CellType::kText},
    {"Komenda", 271, kL, kL, CellType::kCommandList},
    {"Parametr 1", 70, kR, kR, CellType::kText},
    {" ", 32, kL, kL, CellType::kText},
    {"Parametr 2", 58, kR, kR, CellType::kText},
    {" ", 32, kL, kL, CellType::kText},
    {"Komentarz", 340, kL, kL, CellType::kText},
    {"HEX", 51, kL, kL, CellType::kText},
}};

constexpr std::array<Rgb, 10> kRowPalette{{
    {255, 255, 0},
    {0, 255, 0},
    {245, 167, 141},
    {244, 210, 231},
    {255, 255, 192},
    {180, 180, 180},
    {192, 240, 255},
    {192, 255, 128},
    {49, 226, 240},
    {255, 0, 0},
}};

constexpr std::uint8_t kTextXor = 240;

}  // namespace

const std::array<GridColumnSpec, kGridColumnCount>& GridColumns() {
  return kColumns;
}

void SetUpGrid(CommandGrid& grid) {
  for (int column = 0; column < kGridColumnCount; ++column) {
    grid.AddColumn(kColumns[column]);
    if (column == kCommandColumn) {
      for (const CommandDef& def : CommandCatalogue()) {
        grid.AddListText(kCommandColumn, def.name);
      }
    }
  }
}

const std::array<Rgb, 10>& RowPalette() { return kRowPalette; }

RowColours RowColoursForComment(std::string_view comment) {
  if (comment.empty() || comment[0] < '0' || comment[0] > '9') {
    return kDefaultRowColours;
  }
  const Rgb background = kRowPalette[comment[0] - '0'];
  const Rgb text{static_cast<std::uint8_t>(background.red ^ kTextXor),
                 static_cast<std::uint8_t>(background.green ^ kTextXor),
                 static_cast<std::uint8_t>(background.blue ^ kTextXor)};
  return RowColours{background, text};
}

std::string RowNumberText(int row) {
  char text[16];
  std::snprintf(text, sizeof text, "%3i", row + 1);
  return text;
}

bool RenderCommandRow(CommandGrid& grid, const Command& command,
                      std::optional<std::string_view> comment, int row,
                      RowMode mode) {
  const std::optional<int> index = FindCommandDef(command.code);
  if (!index) return false;
  const CommandDef& def = *CommandDefAt(*index);
  const GridUpdate update(grid);
  if (mode == RowMode::kRewrite) {
    grid.SetCellText(row, kLabel1Column, def.param1.label);
    grid.SetCellText(
        row, kValue1Column,
        FormatParam(def, 1, command.param1, ParamContext::kGridRow));
    grid.SetCellText(row, kLabel2Column, def.param2.label);
    grid.SetCellText(
        row, kValue2Column,
        FormatParam(def, 2, command.param2, ParamContext::kGridRow));
    grid.SetCellText(row, kHexColumn, FormatCommandHex(command));
    return true;
  }
  RowRecord record;
  record.command_index = *index;
  record.label1 = def.param1.label;
  record.value1 = FormatParam(def, 1, command.param1, ParamContext::kGridRow);
  record.label2 = def.param2.label;
  record.value2 = FormatParam(def, 2, command.param2, ParamContext::kGridRow);
  if (comment) record.comment.emplace(*comment);
  record.hex = FormatCommandHex(command);
  if (mode == RowMode::kAppend) {
    grid.AppendRow(record);
  } else {
    grid.InsertRow(row, record);
  }
  return true;
}

void ColourRowByComment(CommandGrid& grid, int row) {
  const GridUpdate update(grid);
  grid.SetRowColours(row,
                     RowColoursForComment(grid.CellText(row, kCommentColumn)));
}

void RenumberRows(CommandGrid& grid, const ProgramStore& store, int segment) {
  const GridUpdate update(grid);
  const int rows = grid.RowCount();
  for (int row = 0; row < rows; ++row) {
    grid.SetCellText(row, kNumberColumn, RowNumberText(row));
    if (store.Comment(segment - 1, row) != nullptr) {
      ColourRowByComment(grid, row);
    }
  }
}

void CommitGrid(const CommandGrid& grid, ProgramStore& store, int segment) {
  const int segment_index = segment - 1;
  const int rows = grid.RowCount();
  for (int command = 0; command < kCommandsPerSegment; ++command) {
    if (command < rows) {
      // SetComment keeps at most kMaxCommentChars characters.
      store.SetComment(segment_index, command,
                       grid.CellText(command, kCommentColumn));
      store.SetCommand(segment_index, command,
                       ParseCommandHex(grid.CellText(command, kHexColumn)));
    } else {
      store.SetCommand(segment_index, command, kEmptyCommand);
    }
  }
}

int FillGridFromStore(CommandGrid& grid, const ProgramStore& store,
                      int segment) {
  const GridUpdate update(grid);
  const int segment_index = segment - 1;
  for (int command = 0; command < kCommandsPerSegment; ++command) {
    const std::string* comment = store.Comment(segment_index, command);
    const std::optional<std::string_view> text =
        comment ? std::optional<std::string_view>(*comment) : std::nullopt;
    if (!RenderCommandRow(grid, store.CommandAt(segment_index, command), text,
                          command, RowMode::kAppend)) {
      break;
    }
  }
  RenumberRows(grid, store, segment);
  return grid.RowCount();
}

}  // namespace lumera
