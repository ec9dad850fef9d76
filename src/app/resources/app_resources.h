// The pictures compiled into the editor library (lumera.qrc).
#pragma once

namespace lumera {

// Makes the library's resources reachable under ":/". The library is linked
// statically, and nothing else references its compiled resource table, so
// without this call the linker leaves it out and every ":/" name is missing.
// Safe to call more than once.
void RegisterAppResources();

}  // namespace lumera
