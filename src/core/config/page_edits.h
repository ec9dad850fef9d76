// One table of every number edit of the configuration and outputs pages,
// keyed by the field it edits: its accessible name (row and column), the
// value it reads and writes, its rule, and whether leaving it refreshes the
// configuration page. The pages build their edits from it, so a new field is
// one row; which control shows it is the window's business.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/config/edit_rules.h"
#include "core/config/page_fields.h"

namespace lumera {

enum class EditPage { kConfig, kOutputs };

struct EditDef {
  std::string_view name;
  EditPage page;
  EditRule rule;
  FieldRef field;
  bool refresh_on_focus_out = false;  // RefreshConfigPage when it loses focus
};

// The configuration page's edits in the order its refresh writes them
// (access point, start points 1..16 segment then command, multipliers 1..8,
// controller number).
std::span<const EditDef> ConfigPageEdits();
// The outputs page's edits in the order its refresh writes them (X and Y of
// types 1..4, then type, limit and state of outputs 1..8).
std::span<const EditDef> OutputsPageEdits();
// The edit of `field` on either page; nullptr for a field no edit edits.
const EditDef* FindEdit(FieldRef field);

// The edits of outputs 5 to 8: the controller's configuration record has no
// place for them, so what they held would reach neither the controller nor
// a file. They stay blank and disabled, whatever the output mask says.
bool EditHasNoRecordPlace(const EditDef& edit);
inline constexpr std::string_view kNoRecordPlaceTip =
    "Rekord konfiguracji sterownika nie ma miejsca na wyjścia 5–8.";

// Whether the edit takes values at all: not those of EditHasNoRecordPlace,
// so the blank their refresh writes holds nothing.
bool EditTakesValue(const ConfigPageData& data, const EditDef& edit);

// A change of the edit's text, typed or written by a refresh: the number is
// passed through the edit's rule and stored. Returns the value now held, or
// -1 when the edit takes no value (EditTakesValue). The edit itself is not
// rewritten.
int TakeEditText(ConfigPageData& data, const EditDef& edit,
                 std::string_view text);

// The text a refresh writes into the edit: the held value as an unsigned
// decimal number, a state as its bit 0, a blank for outputs 5 to 8.
std::string EditText(const ConfigPageData& data, const EditDef& edit);

}  // namespace lumera
