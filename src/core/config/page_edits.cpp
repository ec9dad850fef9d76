#include "core/config/page_edits.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "core/model/typed_number.h"

namespace lumera {

namespace {

using enum EditRule;
using enum FieldKind;

constexpr EditDef Config(int id, std::string_view name, EditRule rule,
                         FieldKind kind, int number) {
  return {id, name, EditPage::kConfig, rule, {kind, number}, false};
}

// Leaving the edit refreshes the configuration page.
constexpr EditDef Refreshing(int id, std::string_view name, EditRule rule,
                             FieldKind kind) {
  return {id, name, EditPage::kConfig, rule, {kind, 0}, true};
}

constexpr EditDef Outputs(int id, std::string_view name, EditRule rule,
                          FieldKind kind, int number) {
  return {id, name, EditPage::kOutputs, rule, {kind, number}, false};
}

// clang-format off
constexpr EditDef kConfigPageEdits[] = {
    Refreshing(1172, "Numer Punktu Dostępowego 1",
               kNibble, kAccessPointHigh),
    Refreshing(1173, "Numer Punktu Dostępowego 2",
               kNibble, kAccessPointMiddle),
    Refreshing(1174, "Numer Punktu Dostępowego 3",
               kRadioLowByte, kAccessPointLow),
    Config(1132, "Start Punkt 1 Segment", kSegment, kStartPointSegment, 1),
    Config(1116, "Start Punkt 1 Komenda", kCommand, kStartPointCommand, 1),
    Config(1140, "Start Punkt 2 Segment", kSegment, kStartPointSegment, 2),
    Config(1124, "Start Punkt 2 Komenda", kCommand, kStartPointCommand, 2),
    Config(1141, "Start Punkt 3 Segment", kSegment, kStartPointSegment, 3),
    Config(1125, "Start Punkt 3 Komenda", kCommand, kStartPointCommand, 3),
    Config(1142, "Start Punkt 4 Segment", kSegment, kStartPointSegment, 4),
    Config(1126, "Start Punkt 4 Komenda", kCommand, kStartPointCommand, 4),
    Config(1143, "Start Punkt 5 Segment", kSegment, kStartPointSegment, 5),
    Config(1127, "Start Punkt 5 Komenda", kCommand, kStartPointCommand, 5),
    Config(1144, "Start Punkt 6 Segment", kSegment, kStartPointSegment, 6),
    Config(1128, "Start Punkt 6 Komenda", kCommand, kStartPointCommand, 6),
    Config(1145, "Start Punkt 7 Segment", kSegment, kStartPointSegment, 7),
    Config(1129, "Start Punkt 7 Komenda", kCommand, kStartPointCommand, 7),
    Config(1146, "Start Punkt 8 Segment", kSegment, kStartPointSegment, 8),
    Config(1130, "Start Punkt 8 Komenda", kCommand, kStartPointCommand, 8),
    Config(1147, "Start Punkt 9 Segment", kSegment, kStartPointSegment, 9),
    Config(1131, "Start Punkt 9 Komenda", kCommand, kStartPointCommand, 9),
    Config(1133, "Start Punkt 10 Segment", kSegment, kStartPointSegment, 10),
    Config(1117, "Start Punkt 10 Komenda", kCommand, kStartPointCommand, 10),
    Config(1134, "Start Punkt 11 Segment", kSegment, kStartPointSegment, 11),
    Config(1118, "Start Punkt 11 Komenda", kCommand, kStartPointCommand, 11),
    Config(1135, "Start Punkt 12 Segment", kSegment, kStartPointSegment, 12),
    Config(1119, "Start Punkt 12 Komenda", kCommand, kStartPointCommand, 12),
    Config(1136, "Start Punkt 13 Segment", kSegment, kStartPointSegment, 13),
    Config(1120, "Start Punkt 13 Komenda", kCommand, kStartPointCommand, 13),
    Config(1137, "Start Punkt 14 Segment", kSegment, kStartPointSegment, 14),
    Config(1121, "Start Punkt 14 Komenda", kCommand, kStartPointCommand, 14),
    Config(1138, "Start Punkt 15 Segment", kSegment, kStartPointSegment, 15),
    Config(1122, "Start Punkt 15 Komenda", kCommand, kStartPointCommand, 15),
    Config(1139, "Start Punkt 16 Segment", kSegment, kStartPointSegment, 16),
    Config(1123, "Start Punkt 16 Komenda", kCommand, kStartPointCommand, 16),
    Config(1149, "Mnożnik tempa 1", kByteFromZero, kTempoMultiplier, 1),
    Config(1150, "Mnożnik tempa 2", kByteFromZero, kTempoMultiplier, 2),
    Config(1151, "Mnożnik tempa 3", kByteFromZero, kTempoMultiplier, 3),
    Config(1152, "Mnożnik tempa 4", kByteFromZero, kTempoMultiplier, 4),
    Config(1153, "Mnożnik tempa 5", kByteFromZero, kTempoMultiplier, 5),
    Config(1154, "Mnożnik tempa 6", kByteFromZero, kTempoMultiplier, 6),
    Config(1155, "Mnożnik tempa 7", kByteFromZero, kTempoMultiplier, 7),
    Config(1156, "Mnożnik tempa 8", kByteFromZero, kTempoMultiplier, 8),
    Refreshing(1053, "Numer sterownika",
               kControllerNumber, kNewControllerNumber),
};

constexpr EditDef kOutputsPageEdits[] = {
    Outputs(1041, "Typ 1 X", kReceiverParam, kReceiverX, 1),
    Outputs(1042, "Typ 1 Y", kReceiverParam, kReceiverY, 1),
    Outputs(1043, "Typ 2 X", kReceiverParam, kReceiverX, 2),
    Outputs(1044, "Typ 2 Y", kReceiverParam, kReceiverY, 2),
    Outputs(1045, "Typ 3 X", kReceiverParam, kReceiverX, 3),
    Outputs(1046, "Typ 3 Y", kReceiverParam, kReceiverY, 3),
    Outputs(1047, "Typ 4 X", kReceiverParam, kReceiverX, 4),
    Outputs(1048, "Typ 4 Y", kReceiverParam, kReceiverY, 4),
    Outputs(1033, "Wyjście 1 Typ odbiornika", kByteFromZero, kOutputType, 1),
    Outputs(1017, "Wyjście 1 Ograniczenie", kByte, kOutputLimit, 1),
    Outputs(1025, "Wyjście 1 Stan", kState, kOutputState, 1),
    Outputs(1034, "Wyjście 2 Typ odbiornika", kByteFromZero, kOutputType, 2),
    Outputs(1018, "Wyjście 2 Ograniczenie", kByte, kOutputLimit, 2),
    Outputs(1026, "Wyjście 2 Stan", kState, kOutputState, 2),
    Outputs(1035, "Wyjście 3 Typ odbiornika", kByteFromZero, kOutputType, 3),
    Outputs(1019, "Wyjście 3 Ograniczenie", kByte, kOutputLimit, 3),
    Outputs(1027, "Wyjście 3 Stan", kState, kOutputState, 3),
    Outputs(1036, "Wyjście 4 Typ odbiornika", kByteFromZero, kOutputType, 4),
    Outputs(1020, "Wyjście 4 Ograniczenie", kByte, kOutputLimit, 4),
    Outputs(1028, "Wyjście 4 Stan", kState, kOutputState, 4),
    Outputs(1037, "Wyjście 5 Typ odbiornika", kByteFromZero, kOutputType, 5),
    Outputs(1021, "Wyjście 5 Ograniczenie", kByte, kOutputLimit, 5),
    Outputs(1029, "Wyjście 5 Stan", kState, kOutputState, 5),
    Outputs(1038, "Wyjście 6 Typ odbiornika", kByteFromZero, kOutputType, 6),
    Outputs(1022, "Wyjście 6 Ograniczenie", kByte, kOutputLimit, 6),
    Outputs(1030, "Wyjście 6 Stan", kState, kOutputState, 6),
    Outputs(1039, "Wyjście 7 Typ odbiornika", kByteFromZero, kOutputType, 7),
    Outputs(1023, "Wyjście 7 Ograniczenie", kByte, kOutputLimit, 7),
    Outputs(1031, "Wyjście 7 Stan", kState, kOutputState, 7),
    Outputs(1040, "Wyjście 8 Typ odbiornika", kByteFromZero, kOutputType, 8),
    Outputs(1024, "Wyjście 8 Ograniczenie", kByte, kOutputLimit, 8),
    Outputs(1032, "Wyjście 8 Stan", kState, kOutputState, 8),
};
// clang-format on

static_assert(std::size(kConfigPageEdits) ==
              4 + 2 * kStartPointCount + kTempoMultiplierCount);
static_assert(std::size(kOutputsPageEdits) == 2 * 4 + 3 * kPageOutputCount);

}  // namespace

bool EditHasNoRecordPlace(const EditDef& edit) {
  switch (edit.field.kind) {
    case FieldKind::kOutputType:
    case FieldKind::kOutputLimit:
    case FieldKind::kOutputState:
      return edit.field.number > kConfigOutputCount;
    default:
      return false;
  }
}

std::span<const EditDef> ConfigPageEdits() { return kConfigPageEdits; }

std::span<const EditDef> OutputsPageEdits() { return kOutputsPageEdits; }

const EditDef* FindEdit(int control_id) {
  for (std::span<const EditDef> table :
       {ConfigPageEdits(), OutputsPageEdits()}) {
    for (const EditDef& edit : table) {
      if (edit.control_id == control_id) return &edit;
    }
  }
  return nullptr;
}

bool EditTakesValue(const ConfigPageData& /*data*/, const EditDef& edit) {
  return !EditHasNoRecordPlace(edit);
}

int TakeEditText(ConfigPageData& data, const EditDef& edit,
                 std::string_view text) {
  if (!EditTakesValue(data, edit)) return -1;
  // Modular conversion (C++20): 2^31 and above come out negative.
  const int value = ApplyEditRule(
      edit.rule, static_cast<std::int32_t>(ReadTypedNumber(text)));
  WriteField(data, edit.field, value);
  return value;
}

std::string EditText(const ConfigPageData& data, const EditDef& edit) {
  if (!EditTakesValue(data, edit)) return {};
  int value = ReadField(data, edit.field);
  if (edit.field.kind == FieldKind::kOutputState) value &= 1;
  char text[12];
  std::snprintf(text, sizeof text, "%d", value);
  return text;
}

}  // namespace lumera
