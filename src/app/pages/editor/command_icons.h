// The command icons, cut from the strip: icon k belongs to catalogue entry
// k, for the command chooser and the grid's command column alike.
#pragma once

#include <QIcon>
#include <vector>

namespace lumera {

// One icon per catalogue entry, in catalogue order.
std::vector<QIcon> LoadCommandIcons();

}  // namespace lumera
