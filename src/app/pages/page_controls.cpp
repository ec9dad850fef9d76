#include "app/pages/page_controls.h"

#include <array>
#include <cstddef>

#include "app/pages/config/config_page_ids.h"
#include "app/pages/outputs/outputs_page_ids.h"

namespace lumera {
namespace {

namespace c = config_page_ids;
namespace o = outputs_page_ids;

// Entry `number` (1-based) of an id array; 0 outside it.
template <std::size_t N>
int Nth(const std::array<int, N>& ids, int number) {
  if (number < 1 || number > static_cast<int>(N)) return 0;
  return ids[static_cast<std::size_t>(number - 1)];
}

int EditId(FieldRef field) {
  switch (field.kind) {
    case FieldKind::kNewControllerNumber:
      return c::kControllerNumber;
    case FieldKind::kAccessPointHigh:
      return c::kAccessPointHigh;
    case FieldKind::kAccessPointMiddle:
      return c::kAccessPointMiddle;
    case FieldKind::kAccessPointLow:
      return c::kAccessPointLow;
    case FieldKind::kStartPointSegment:
      return Nth(c::kStartSegments, field.number);
    case FieldKind::kStartPointCommand:
      return Nth(c::kStartCommands, field.number);
    case FieldKind::kTempoMultiplier:
      return Nth(c::kMultipliers, field.number);
    case FieldKind::kReceiverX:
      return Nth(o::kReceiverXs, field.number);
    case FieldKind::kReceiverY:
      return Nth(o::kReceiverYs, field.number);
    case FieldKind::kOutputType:
      return Nth(o::kOutputTypes, field.number);
    case FieldKind::kOutputLimit:
      return Nth(o::kOutputLimits, field.number);
    case FieldKind::kOutputState:
      return Nth(o::kOutputStates, field.number);
  }
  return 0;
}

}  // namespace

int ControlIdOf(const WriteTarget& target) {
  switch (target.item) {
    case PageItem::kEdit:
      return EditId(target.field);
    case PageItem::kIndexMode:
      return c::kIndexMode;
    case PageItem::kClock:
      return c::kClock;
    case PageItem::kSwitchPosition:
      return Nth(c::kSwitchPositions, target.position);
    case PageItem::kTempoText:
      return c::kSwitchTempo;
    case PageItem::kStartText:
      return c::kSwitchStartPoint;
    case PageItem::kMemoryText:
      return c::kMemoryKind;
    case PageItem::kSupplyText:
      return c::kSupplyKind;
  }
  return 0;
}

const EditDef* EditOfControl(int control_id) {
  for (std::span<const EditDef> table :
       {ConfigPageEdits(), OutputsPageEdits()}) {
    for (const EditDef& edit : table) {
      if (EditId(edit.field) == control_id) return &edit;
    }
  }
  return nullptr;
}

}  // namespace lumera
