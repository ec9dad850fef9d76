#include "core/config/page_refresh.h"

#include <string>
#include <utility>

#include "core/config/clock_time.h"
#include "core/config/page_edits.h"
#include "core/config/switch_display.h"

namespace lumera {

namespace {

void WriteEdit(ConfigPageData& data, const EditDef& edit, PageWrites& writes) {
  // The held value passes through the edit's rule first, so the edit shows
  // what is held (1 for an erased start point, not 256).
  TakeEditText(data, edit, EditText(data, edit));
  ControlWrite write;
  write.target = EditTarget(edit.field);
  write.kind = ControlWrite::Kind::kEditText;
  write.text = EditText(data, edit);
  write.enabled = EditTakesValue(data, edit);
  writes.Add(std::move(write));
}

void WriteText(PageItem item, std::string text, PageWrites& writes) {
  writes.Add(
      {ItemTarget(item), ControlWrite::Kind::kText, std::move(text), 0, true});
}

bool IsAccessPoint(const EditDef& edit) {
  return edit.field.kind == FieldKind::kAccessPointHigh ||
         edit.field.kind == FieldKind::kAccessPointMiddle ||
         edit.field.kind == FieldKind::kAccessPointLow;
}

}  // namespace

PageWrites RefreshConfigPage(ConfigPageData& data) {
  PageWrites writes;
  bool index_mode_written = false;
  for (const EditDef& edit : ConfigPageEdits()) {
    // The check box comes between the access point and the start points.
    if (!index_mode_written && !IsAccessPoint(edit)) {
      writes.Add({ItemTarget(PageItem::kIndexMode),
                  ControlWrite::Kind::kCheckBox,
                  {},
                  data.page.index_mode ? 1 : 0,
                  true});
      index_mode_written = true;
    }
    WriteEdit(data, edit, writes);
  }
  WriteText(PageItem::kClock, ClockText(data.page.clock_time), writes);

  const SwitchDisplay display = RefreshSwitchDisplay(data.status);
  for (int position = 1; position <= 8; ++position) {
    writes.Add({ItemTarget(PageItem::kSwitchPosition, position),
                ControlWrite::Kind::kPicture,
                {},
                display.pictures[static_cast<std::size_t>(position - 1)],
                true});
  }
  WriteText(PageItem::kTempoText, display.tempo_text, writes);
  WriteText(PageItem::kStartText, display.start_text, writes);
  WriteText(PageItem::kMemoryText, display.memory_text, writes);
  WriteText(PageItem::kSupplyText, display.supply_text, writes);
  return writes;
}

PageWrites RefreshOutputsPage(ConfigPageData& data) {
  PageWrites writes;
  for (const EditDef& edit : OutputsPageEdits()) {
    const bool output_row = edit.field.kind == FieldKind::kOutputType ||
                            edit.field.kind == FieldKind::kOutputLimit ||
                            edit.field.kind == FieldKind::kOutputState;
    if (output_row && edit.field.number <= kConfigOutputCount &&
        !OutputRowFilled(data.status, edit.field.number)) {
      continue;
    }
    WriteEdit(data, edit, writes);
  }
  return writes;
}

}  // namespace lumera
