// Which control of the configuration and outputs pages shows what the core's
// refreshes write: the core names edits by the field they edit and the other
// items by what they are; the ids stay here, with the pages.
#pragma once

#include "core/config/page_edits.h"
#include "core/config/page_writes.h"

namespace lumera {

// The control id of `target`, or 0 when no control shows it.
int ControlIdOf(const WriteTarget& target);
inline int EditControlId(FieldRef field) {
  return ControlIdOf(EditTarget(field));
}

// The edit shown by control `control_id`; nullptr for a control that is no
// number edit.
const EditDef* EditOfControl(int control_id);

}  // namespace lumera
