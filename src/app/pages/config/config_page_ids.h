// Resource ids of the configuration page's controls. Each widget carries its
// id as the dynamic property "controlId", so tests and tools find it by
// number. page_controls.cpp names the control of each of the core's edit
// fields and page items from these.
#pragma once

#include <array>

namespace lumera::config_page_ids {

inline constexpr int kDialog = 106;
inline constexpr int kSwitchOffPicture = 114;
inline constexpr int kSwitchOnPicture = 115;

// "Numer sterownika"
inline constexpr int kControllerNumber = 1053;
inline constexpr int kReadControllerNumber = 1057;   // "Odczytaj"
inline constexpr int kWriteControllerNumber = 1065;  // "Wyślij"

// "Przełącznik sterownika": switch bit i is picture button 1159 + i, so
// positions 1 to 8 read 1166 down to 1159 from left to right.
inline constexpr int kSwitchBit0 = 1159;
inline constexpr int kSwitchBit1 = 1160;
inline constexpr int kSwitchBit2 = 1161;
inline constexpr int kSwitchBit3 = 1162;
inline constexpr int kSwitchBit4 = 1163;
inline constexpr int kSwitchBit5 = 1164;
inline constexpr int kSwitchBit6 = 1165;
inline constexpr int kSwitchBit7 = 1166;
inline constexpr std::array<int, 8> kSwitchPositions = {
    kSwitchBit7, kSwitchBit6, kSwitchBit5, kSwitchBit4,
    kSwitchBit3, kSwitchBit2, kSwitchBit1, kSwitchBit0};
inline constexpr int kSwitchTempo = 1167;
inline constexpr int kSwitchStartPoint = 1168;
inline constexpr int kMemoryKind = 1169;
inline constexpr int kSupplyKind = 1170;

// "Numer Punktu Dostępowego (Radio)"
inline constexpr int kAccessPointHigh = 1172;
inline constexpr int kAccessPointMiddle = 1173;
inline constexpr int kAccessPointLow = 1174;
inline constexpr int kAccessPointReset = 1175;  // "Reset"

// "Zegar Czasu Rzeczywistego"
inline constexpr int kClock = 1179;
inline constexpr int kSetClock = 1177;   // "Ustaw czas"
inline constexpr int kReadClock = 1176;  // "Czytaj czas"

// "Punkty Startowe"
inline constexpr int kIndexMode = 1171;
inline constexpr int kStartSegment1 = 1132;
inline constexpr int kStartSegment2 = 1140;
inline constexpr int kStartSegment3 = 1141;
inline constexpr int kStartSegment4 = 1142;
inline constexpr int kStartSegment5 = 1143;
inline constexpr int kStartSegment6 = 1144;
inline constexpr int kStartSegment7 = 1145;
inline constexpr int kStartSegment8 = 1146;
inline constexpr int kStartSegment9 = 1147;
inline constexpr int kStartSegment10 = 1133;
inline constexpr int kStartSegment11 = 1134;
inline constexpr int kStartSegment12 = 1135;
inline constexpr int kStartSegment13 = 1136;
inline constexpr int kStartSegment14 = 1137;
inline constexpr int kStartSegment15 = 1138;
inline constexpr int kStartSegment16 = 1139;
inline constexpr int kStartCommand1 = 1116;
inline constexpr int kStartCommand2 = 1124;
inline constexpr int kStartCommand3 = 1125;
inline constexpr int kStartCommand4 = 1126;
inline constexpr int kStartCommand5 = 1127;
inline constexpr int kStartCommand6 = 1128;
inline constexpr int kStartCommand7 = 1129;
inline constexpr int kStartCommand8 = 1130;
inline constexpr int kStartCommand9 = 1131;
inline constexpr int kStartCommand10 = 1117;
inline constexpr int kStartCommand11 = 1118;
inline constexpr int kStartCommand12 = 1119;
inline constexpr int kStartCommand13 = 1120;
inline constexpr int kStartCommand14 = 1121;
inline constexpr int kStartCommand15 = 1122;
inline constexpr int kStartCommand16 = 1123;
inline constexpr int kStartButton1 = 1098;
inline constexpr int kStartButton2 = 1106;
inline constexpr int kStartButton3 = 1107;
inline constexpr int kStartButton4 = 1108;
inline constexpr int kStartButton5 = 1109;
inline constexpr int kStartButton6 = 1110;
inline constexpr int kStartButton7 = 1111;
inline constexpr int kStartButton8 = 1112;
inline constexpr int kStartButton9 = 1113;
inline constexpr int kStartButton10 = 1099;
inline constexpr int kStartButton11 = 1100;
inline constexpr int kStartButton12 = 1101;
inline constexpr int kStartButton13 = 1102;
inline constexpr int kStartButton14 = 1103;
inline constexpr int kStartButton15 = 1104;
inline constexpr int kStartButton16 = 1105;
// Start point n at index n - 1.
inline constexpr std::array<int, 16> kStartSegments = {
    kStartSegment1,  kStartSegment2,  kStartSegment3,  kStartSegment4,
    kStartSegment5,  kStartSegment6,  kStartSegment7,  kStartSegment8,
    kStartSegment9,  kStartSegment10, kStartSegment11, kStartSegment12,
    kStartSegment13, kStartSegment14, kStartSegment15, kStartSegment16};
inline constexpr std::array<int, 16> kStartCommands = {
    kStartCommand1,  kStartCommand2,  kStartCommand3,  kStartCommand4,
    kStartCommand5,  kStartCommand6,  kStartCommand7,  kStartCommand8,
    kStartCommand9,  kStartCommand10, kStartCommand11, kStartCommand12,
    kStartCommand13, kStartCommand14, kStartCommand15, kStartCommand16};
inline constexpr std::array<int, 16> kStartButtons = {
    kStartButton1,  kStartButton2,  kStartButton3,  kStartButton4,
    kStartButton5,  kStartButton6,  kStartButton7,  kStartButton8,
    kStartButton9,  kStartButton10, kStartButton11, kStartButton12,
    kStartButton13, kStartButton14, kStartButton15, kStartButton16};

// "Mnożniki tempa"
inline constexpr int kMultiplier1 = 1149;
inline constexpr int kMultiplier2 = 1150;
inline constexpr int kMultiplier3 = 1151;
inline constexpr int kMultiplier4 = 1152;
inline constexpr int kMultiplier5 = 1153;
inline constexpr int kMultiplier6 = 1154;
inline constexpr int kMultiplier7 = 1155;
inline constexpr int kMultiplier8 = 1156;
inline constexpr int kTempoButton1 = 1086;
inline constexpr int kTempoButton2 = 1089;
inline constexpr int kTempoButton3 = 1090;
inline constexpr int kTempoButton4 = 1091;
inline constexpr int kTempoButton5 = 1092;
inline constexpr int kTempoButton6 = 1093;
inline constexpr int kTempoButton7 = 1094;
inline constexpr int kTempoButton8 = 1095;
// Multiplier n at index n - 1.
inline constexpr std::array<int, 8> kMultipliers = {
    kMultiplier1, kMultiplier2, kMultiplier3, kMultiplier4,
    kMultiplier5, kMultiplier6, kMultiplier7, kMultiplier8};
inline constexpr std::array<int, 8> kTempoButtons = {
    kTempoButton1, kTempoButton2, kTempoButton3, kTempoButton4,
    kTempoButton5, kTempoButton6, kTempoButton7, kTempoButton8};

// Labels and group boxes are the dialog's unnamed statics.
inline constexpr int kStatic = -1;

}  // namespace lumera::config_page_ids
