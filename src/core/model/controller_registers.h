// The controller's registers, as the link reads them and the editor shows
// them. One definition for both, so that a file may see the two.
#pragma once

namespace lumera {

inline constexpr int kRegisterCount = 8;

}  // namespace lumera
