#include "core/editor/grid_rows.h"

#include <cstdio>

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

int RowCommandIndex(const WorkingRow& row) {
  return FindCommandDef(row.command.code).value_or(-1);
}

std::string CellText(const WorkingRow& row, int index, int column) {
  const CommandDef* def = CommandDefAt(RowCommandIndex(row));
  switch (column) {
    case kNumberColumn:
      return RowNumberText(index);
    case kLabel1Column:
      return def ? std::string(def->param1.label) : std::string();
    case kValue1Column:
      return def ? FormatParam(*def, 1, row.command.param1,
                               ParamContext::kGridRow)
                 : std::string();
    case kLabel2Column:
      return def ? std::string(def->param2.label) : std::string();
    case kValue2Column:
      return def ? FormatParam(*def, 2, row.command.param2,
                               ParamContext::kGridRow)
                 : std::string();
    case kCommentColumn:
      return row.comment;
    case kHexColumn:
      return FormatCommandHex(row.command);
    default:
      return {};
  }
}

}  // namespace lumera
