// Resource ids of the main window's controls. Each widget carries its id as
// the dynamic property "controlId", so tests and tools find it by number.
#pragma once

#include "app/pages/config/config_page_ids.h"
#include "app/pages/editor/editor_page_ids.h"
#include "app/pages/outputs/outputs_page_ids.h"
#include "app/pages/site/site_page_ids.h"

namespace lumera::main_window_ids {

inline constexpr int kDialog = 105;
inline constexpr int kProgramIcon = 107;

inline constexpr int kDefaultConfigOnly = 1052;     // "Domyślna K"
inline constexpr int kDefaultConfigProgram = 1053;  // "Domyślna K+P"
inline constexpr int kControllerNumber = 1055;      // "STEROWNIK nr"
inline constexpr int kFileName = 1056;
inline constexpr int kPageArea = 1058;
inline constexpr int kStatusLine = 1059;
inline constexpr int kRadioHigh = 1062;
inline constexpr int kRadioLow = 1063;
inline constexpr int kRadioSecond = 1064;
inline constexpr int kTimeByte = 1065;  // "Czas"
inline constexpr int kPrintAll = 1070;
inline constexpr int kPrintSegment = 1071;
inline constexpr int kProgress = 1074;
inline constexpr int kRadioOption = 1075;
inline constexpr int kReadConfig = 1076;
inline constexpr int kLoadFile = 1077;
inline constexpr int kDownloadAll = 1078;
inline constexpr int kDownloadSegment = 1079;
inline constexpr int kEntriesOnly = 1080;
inline constexpr int kUploadAll = 1083;
inline constexpr int kUploadSegment = 1084;
inline constexpr int kPortList = 1085;
inline constexpr int kVerifySegment = 1086;
inline constexpr int kVerifyAll = 1087;
inline constexpr int kErrorReport = 1089;
inline constexpr int kWriteConfig = 1097;
inline constexpr int kAbort = 1115;
inline constexpr int kTabs = 1148;
inline constexpr int kVersion = 1157;
inline constexpr int kSaveFile = 1158;
inline constexpr int kControllerHex = 1159;
inline constexpr int kRestart = 1168;
inline constexpr int kRadioAll = 1169;
inline constexpr int kRadioPoint = 1170;
inline constexpr int kRadioReset = 1171;

// Labels and group boxes are the dialog's unnamed statics.
inline constexpr int kStatic = -1;

// Dialog templates of the pages, which their own ids headers hold.
inline constexpr int kEditorPage = editor_page_ids::kDialog;
inline constexpr int kOutputsPage = outputs_page_ids::kDialog;
inline constexpr int kConfigPage = config_page_ids::kDialog;
inline constexpr int kSitePage = site_page_ids::kDialog;

}  // namespace lumera::main_window_ids
