#include "core/config/page_edits.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "core/model/typed_number.h"

namespace lumera {

namespace {

using enum EditRule;
using enum FieldKind;

constexpr EditDef Config(std::string_view name, EditRule rule, FieldKind kind,
                         int number) {
  return {name, EditPage::kConfig, rule, {kind, number}, false};
}

// Leaving the edit refreshes the configuration page.
constexpr EditDef Refreshing(std::string_view name, EditRule rule,
                             FieldKind kind) {
  return {name, EditPage::kConfig, rule, {kind, 0}, true};
}

constexpr EditDef Outputs(std::string_view name, EditRule rule, FieldKind kind,
                          int number) {
  return {name, EditPage::kOutputs, rule, {kind, number}, false};
}

// clang-format off
constexpr EditDef kConfigPageEdits[] = {
    Refreshing("Numer Punktu Dostępowego 1", kNibble, kAccessPointHigh),
    Refreshing("Numer Punktu Dostępowego 2", kNibble, kAccessPointMiddle),
    Refreshing("Numer Punktu Dostępowego 3", kRadioLowByte, kAccessPointLow),
    Config("Start Punkt 1 Segment", kSegment, kStartPointSegment, 1),
    Config("Start Punkt 1 Komenda", kCommand, kStartPointCommand, 1),
    Config("Start Punkt 2 Segment", kSegment, kStartPointSegment, 2),
    Config("Start Punkt 2 Komenda", kCommand, kStartPointCommand, 2),
    Config("Start Punkt 3 Segment", kSegment, kStartPointSegment, 3),
    Config("Start Punkt 3 Komenda", kCommand, kStartPointCommand, 3),
    Config("Start Punkt 4 Segment", kSegment, kStartPointSegment, 4),
    Config("Start Punkt 4 Komenda", kCommand, kStartPointCommand, 4),
    Config("Start Punkt 5 Segment", kSegment, kStartPointSegment, 5),
    Config("Start Punkt 5 Komenda", kCommand, kStartPointCommand, 5),
    Config("Start Punkt 6 Segment", kSegment, kStartPointSegment, 6),
    Config("Start Punkt 6 Komenda", kCommand, kStartPointCommand, 6),
    Config("Start Punkt 7 Segment", kSegment, kStartPointSegment, 7),
    Config("Start Punkt 7 Komenda", kCommand, kStartPointCommand, 7),
    Config("Start Punkt 8 Segment", kSegment, kStartPointSegment, 8),
    Config("Start Punkt 8 Komenda", kCommand, kStartPointCommand, 8),
    Config("Start Punkt 9 Segment", kSegment, kStartPointSegment, 9),
    Config("Start Punkt 9 Komenda", kCommand, kStartPointCommand, 9),
    Config("Start Punkt 10 Segment", kSegment, kStartPointSegment, 10),
    Config("Start Punkt 10 Komenda", kCommand, kStartPointCommand, 10),
    Config("Start Punkt 11 Segment", kSegment, kStartPointSegment, 11),
    Config("Start Punkt 11 Komenda", kCommand, kStartPointCommand, 11),
    Config("Start Punkt 12 Segment", kSegment, kStartPointSegment, 12),
    Config("Start Punkt 12 Komenda", kCommand, kStartPointCommand, 12),
    Config("Start Punkt 13 Segment", kSegment, kStartPointSegment, 13),
    Config("Start Punkt 13 Komenda", kCommand, kStartPointCommand, 13),
    Config("Start Punkt 14 Segment", kSegment, kStartPointSegment, 14),
    Config("Start Punkt 14 Komenda", kCommand, kStartPointCommand, 14),
    Config("Start Punkt 15 Segment", kSegment, kStartPointSegment, 15),
    Config("Start Punkt 15 Komenda", kCommand, kStartPointCommand, 15),
    Config("Start Punkt 16 Segment", kSegment, kStartPointSegment, 16),
    Config("Start Punkt 16 Komenda", kCommand, kStartPointCommand, 16),
    Config("Mnożnik tempa 1", kByteFromZero, kTempoMultiplier, 1),
    Config("Mnożnik tempa 2", kByteFromZero, kTempoMultiplier, 2),
    Config("Mnożnik tempa 3", kByteFromZero, kTempoMultiplier, 3),
    Config("Mnożnik tempa 4", kByteFromZero, kTempoMultiplier, 4),
    Config("Mnożnik tempa 5", kByteFromZero, kTempoMultiplier, 5),
    Config("Mnożnik tempa 6", kByteFromZero, kTempoMultiplier, 6),
    Config("Mnożnik tempa 7", kByteFromZero, kTempoMultiplier, 7),
    Config("Mnożnik tempa 8", kByteFromZero, kTempoMultiplier, 8),
    Refreshing("Numer sterownika", kControllerNumber, kNewControllerNumber),
};

constexpr EditDef kOutputsPageEdits[] = {
    Outputs("Typ 1 X", kReceiverParam, kReceiverX, 1),
    Outputs("Typ 1 Y", kReceiverParam, kReceiverY, 1),
    Outputs("Typ 2 X", kReceiverParam, kReceiverX, 2),
    Outputs("Typ 2 Y", kReceiverParam, kReceiverY, 2),
    Outputs("Typ 3 X", kReceiverParam, kReceiverX, 3),
    Outputs("Typ 3 Y", kReceiverParam, kReceiverY, 3),
    Outputs("Typ 4 X", kReceiverParam, kReceiverX, 4),
    Outputs("Typ 4 Y", kReceiverParam, kReceiverY, 4),
    Outputs("Wyjście 1 Typ odbiornika", kByteFromZero, kOutputType, 1),
    Outputs("Wyjście 1 Ograniczenie", kByte, kOutputLimit, 1),
    Outputs("Wyjście 1 Stan", kState, kOutputState, 1),
    Outputs("Wyjście 2 Typ odbiornika", kByteFromZero, kOutputType, 2),
    Outputs("Wyjście 2 Ograniczenie", kByte, kOutputLimit, 2),
    Outputs("Wyjście 2 Stan", kState, kOutputState, 2),
    Outputs("Wyjście 3 Typ odbiornika", kByteFromZero, kOutputType, 3),
    Outputs("Wyjście 3 Ograniczenie", kByte, kOutputLimit, 3),
    Outputs("Wyjście 3 Stan", kState, kOutputState, 3),
    Outputs("Wyjście 4 Typ odbiornika", kByteFromZero, kOutputType, 4),
    Outputs("Wyjście 4 Ograniczenie", kByte, kOutputLimit, 4),
    Outputs("Wyjście 4 Stan", kState, kOutputState, 4),
    Outputs("Wyjście 5 Typ odbiornika", kByteFromZero, kOutputType, 5),
    Outputs("Wyjście 5 Ograniczenie", kByte, kOutputLimit, 5),
    Outputs("Wyjście 5 Stan", kState, kOutputState, 5),
    Outputs("Wyjście 6 Typ odbiornika", kByteFromZero, kOutputType, 6),
    Outputs("Wyjście 6 Ograniczenie", kByte, kOutputLimit, 6),
    Outputs("Wyjście 6 Stan", kState, kOutputState, 6),
    Outputs("Wyjście 7 Typ odbiornika", kByteFromZero, kOutputType, 7),
    Outputs("Wyjście 7 Ograniczenie", kByte, kOutputLimit, 7),
    Outputs("Wyjście 7 Stan", kState, kOutputState, 7),
    Outputs("Wyjście 8 Typ odbiornika", kByteFromZero, kOutputType, 8),
    Outputs("Wyjście 8 Ograniczenie", kByte, kOutputLimit, 8),
    Outputs("Wyjście 8 Stan", kState, kOutputState, 8),
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

const EditDef* FindEdit(FieldRef field) {
  for (std::span<const EditDef> table :
       {ConfigPageEdits(), OutputsPageEdits()}) {
    for (const EditDef& edit : table) {
      if (edit.field == field) return &edit;
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
