// The refreshes of the configuration and outputs pages as data: what each
// control shows, in the order the page writes it. A refresh first passes
// every held value through its edit's rule, as taking the edit's text would
// (an erased start point 0xFF becomes segment 1, command 1; an X of 200
// becomes 30), and then writes the value now held. Taking a written text
// again changes nothing, so a window may write the texts with its change
// notifications on or blocked.
#pragma once

#include "core/config/page_fields.h"
#include "core/config/page_writes.h"

namespace lumera {

// Access-point edits, index mode check box, start points, multipliers,
// controller number, clock text, then the switch display (pictures of
// positions 1 to 8, then its tempo, start, memory and supply texts). The
// outputs page's refresh, which follows it, is the caller's
// RefreshOutputsPage.
PageWrites RefreshConfigPage(ConfigPageData& data);

// X and Y of receiver types 1 to 4, then outputs 1 to 8. A row whose bit is
// set in the output mask is not written for outputs 1 to 4 (it keeps what it
// showed); outputs 5 to 8, which have no place in the record, are written
// blank and disabled instead, so that they are never seen stale.
PageWrites RefreshOutputsPage(ConfigPageData& data);

}  // namespace lumera
