// Resource ids of the outputs page's controls. Each widget carries its id as
// the dynamic property "controlId", so tests and tools find it by number.
// page_controls.cpp names the control of each of the core's edit fields from
// these.
#pragma once

#include <array>

namespace lumera::outputs_page_ids {

inline constexpr int kDialog = 104;

// " Konfiguracja wyjść sterownika ": type, limit and state of outputs 1..8.
inline constexpr int kOutputType1 = 1033;
inline constexpr int kOutputType2 = 1034;
inline constexpr int kOutputType3 = 1035;
inline constexpr int kOutputType4 = 1036;
inline constexpr int kOutputType5 = 1037;
inline constexpr int kOutputType6 = 1038;
inline constexpr int kOutputType7 = 1039;
inline constexpr int kOutputType8 = 1040;
inline constexpr int kOutputLimit1 = 1017;
inline constexpr int kOutputLimit2 = 1018;
inline constexpr int kOutputLimit3 = 1019;
inline constexpr int kOutputLimit4 = 1020;
inline constexpr int kOutputLimit5 = 1021;
inline constexpr int kOutputLimit6 = 1022;
inline constexpr int kOutputLimit7 = 1023;
inline constexpr int kOutputLimit8 = 1024;
inline constexpr int kOutputState1 = 1025;
inline constexpr int kOutputState2 = 1026;
inline constexpr int kOutputState3 = 1027;
inline constexpr int kOutputState4 = 1028;
inline constexpr int kOutputState5 = 1029;
inline constexpr int kOutputState6 = 1030;
inline constexpr int kOutputState7 = 1031;
inline constexpr int kOutputState8 = 1032;
// Output n at index n - 1.
inline constexpr std::array<int, 8> kOutputTypes = {
    kOutputType1, kOutputType2, kOutputType3, kOutputType4,
    kOutputType5, kOutputType6, kOutputType7, kOutputType8};
inline constexpr std::array<int, 8> kOutputLimits = {
    kOutputLimit1, kOutputLimit2, kOutputLimit3, kOutputLimit4,
    kOutputLimit5, kOutputLimit6, kOutputLimit7, kOutputLimit8};
inline constexpr std::array<int, 8> kOutputStates = {
    kOutputState1, kOutputState2, kOutputState3, kOutputState4,
    kOutputState5, kOutputState6, kOutputState7, kOutputState8};

// "Typy odbiorników": X and Y of receiver types 1..4.
inline constexpr int kReceiverX1 = 1041;
inline constexpr int kReceiverY1 = 1042;
inline constexpr int kReceiverX2 = 1043;
inline constexpr int kReceiverY2 = 1044;
inline constexpr int kReceiverX3 = 1045;
inline constexpr int kReceiverY3 = 1046;
inline constexpr int kReceiverX4 = 1047;
inline constexpr int kReceiverY4 = 1048;
// Receiver type t at index t - 1.
inline constexpr std::array<int, 4> kReceiverXs = {kReceiverX1, kReceiverX2,
                                                   kReceiverX3, kReceiverX4};
inline constexpr std::array<int, 4> kReceiverYs = {kReceiverY1, kReceiverY2,
                                                   kReceiverY3, kReceiverY4};

// Labels and group boxes are the dialog's unnamed statics.
inline constexpr int kStatic = -1;

}  // namespace lumera::outputs_page_ids
