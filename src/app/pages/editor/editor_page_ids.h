// Resource ids of the editor page's controls. Each widget carries its id as
// the dynamic property "controlId", so tests and tools find it by number.
#pragma once

#include <array>

namespace lumera::editor_page_ids {

inline constexpr int kDialog = 103;
inline constexpr int kLampOffPicture = 108;
inline constexpr int kLampOnPicture = 109;

inline constexpr int kCommandGrid = 1043;

// Editing ("Edycja").
inline constexpr int kCommandChooser = 1042;  // "Komenda:"
inline constexpr int kLabel1 = 1066;
inline constexpr int kLabel2 = 1067;
inline constexpr int kParam1 = 1068;
inline constexpr int kParam2 = 1069;
inline constexpr int kAppend = 1002;          // "Dopisz  +"
inline constexpr int kAppendSmall = 1003;     // "+"
inline constexpr int kInsert = 1005;          // "Wstaw  <"
inline constexpr int kInsertSmall = 1006;     // "<"
inline constexpr int kDelete = 1004;          // "Usuń"
inline constexpr int kMoveDown = 1007;        // "W dół"
inline constexpr int kMoveUp = 1008;          // "W górę"
inline constexpr int kClearList = 1041;       // "Kasuj Listę"
inline constexpr int kSegmentChooser = 1073;  // "Segment Nr "
inline constexpr int kEnter = 1060;           // "Wejdź"
inline constexpr int kReturn = 1081;          // "Wróć"

// Undo steps of the shown segment, with the choice whether edits keep the
// program's references on their commands.
inline constexpr int kUndo = 2001;           // "Cofnij"
inline constexpr int kRedo = 2002;           // "Ponów"
inline constexpr int kFixReferences = 2003;  // "Popraw odwołania"

// The program check and its findings, the list below the grid.
inline constexpr int kCheckProgram = 2004;  // "Sprawdź program"
inline constexpr int kFindings = 2005;

// Output buttons: output k (1..8) is button 1008 + k; output 1 is at the
// right end.
inline constexpr int kOutput1 = 1009;
inline constexpr int kOutput8 = 1016;

// Run control ("Uruchamianie").
inline constexpr int kRunFrom = 1082;        // "Wykonaj Od"
inline constexpr int kSetStopPoint = 1001;   // ". Zatrzymaj Na"
inline constexpr int kStepCommand = 1114;    // ". Komenda+1"
inline constexpr int kResumeProgram = 1116;  // "-"
inline constexpr int kStopProgram = 1115;    // "STOP"
inline constexpr int kRestart = 1080;        // "RESTART"
inline constexpr int kWriteCommand = 1083;   // "Wpisz Komendę"

// "Rejestry": register k (1..8) is field 1043 + k.
inline constexpr int kRegister1 = 1044;
inline constexpr int kRegister8 = 1051;

}  // namespace lumera::editor_page_ids
