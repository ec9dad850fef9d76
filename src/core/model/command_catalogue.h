// The fixed table of the 45 commands the controller knows, and the rules for
// showing and bounding their parameters. The table never changes at run time.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumera {

// How a parameter is entered, shown and bounded. The values are those of the
// table's kind column.
enum class ParamKind : std::uint8_t {
  kNone = 0,     // unused: shown as blanks, stored as 0
  kDecimal = 1,  // unsigned decimal, bounded by min..max
  kHex = 2,      // "%02Xh", never bounded
  kSigned = 3,   // two's-complement byte, bounded by -127..127 and min..max
};

struct ParamDef {
  std::string_view label;  // UTF-8; unused parameters have a label of spaces
  ParamKind kind = ParamKind::kNone;
  std::int32_t min = 0;
  std::int32_t max = 0;
  std::int32_t default_value = 0;
};

struct CommandDef {
  std::uint8_t code = 0;
  std::string_view name;  // UTF-8
  int icon_index = 0;     // slice of the icon strip; equals the table position
  ParamDef param1;
  ParamDef param2;

  // Parameter 1 for number 1, parameter 2 for any other number.
  constexpr const ParamDef& Param(int number) const {
    return number == 1 ? param1 : param2;
  }
};

inline constexpr int kCatalogueSize = 45;
// Width of one icon in the strip (and its height), and the number of slices.
inline constexpr int kIconSize = 15;
inline constexpr int kIconCount = 46;

// Where a parameter is shown: the only difference is the width of the blanks
// of an unused parameter.
enum class ParamContext { kGridRow, kEntryField };

// The whole table in catalogue order (index 0..44).
const std::array<CommandDef, kCatalogueSize>& CommandCatalogue();

// Catalogue index of the first entry with this code, or nullopt when the code
// has none (45..255, including the empty-slot code 0xFF).
std::optional<int> FindCommandDef(std::uint8_t code);

// The entry at catalogue index 0..44, or nullptr for any other index.
const CommandDef* CommandDefAt(int index);

// The entry for a code, or nullptr when the code has none.
const CommandDef* CommandDefForCode(std::uint8_t code);

// Text of parameter `number` (1 or 2) holding `value`, by the parameter's kind.
std::string FormatParam(const CommandDef& def, int number, std::uint8_t value,
                        ParamContext context);

// The parameter byte for an entered value, bounded by the parameter's kind.
std::uint8_t ClampParam(const CommandDef& def, int number, std::int64_t value);

}  // namespace lumera
