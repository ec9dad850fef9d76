#include "core/config/page_edits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace lumera {
namespace {

using enum FieldKind;

// A fresh start's data, with the access point kept beside it as the shell
// keeps it.
struct PageFixture {
  PageFixture() {
    image.fill(0xFF);
    StartConfiguration(image, status, page, std::tm{});
  }
  ConfigPageData Data() {
    return {image, page, {access.high, access.middle, access.low}, status};
  }
  ProgramImage image;
  ControllerStatus status;
  ConfigPageValues page;
  struct {
    std::uint8_t high = 15, middle = 15, low = 0;
  } access;
};

// Every rule of both pages, typed into a real edit: what is held and what
// the next refresh shows. `image_byte` is the record byte that must hold
// `byte` afterwards (-1: the value lives outside the record).
TEST(PageEditsTest, TypedTextIsHeldAsItsRuleSays) {
  struct Case {
    FieldRef field;
    std::string_view typed;
    int held;
    int image_byte;
    int byte;
  };
  const Case cases[] = {
      // Controller number: bounded to 1..254, empty and unreadable hold 1.
      {{kNewControllerNumber}, "300", 254, -1, 0},
      {{kNewControllerNumber}, "", 1, -1, 0},
      {{kNewControllerNumber}, "0", 1, -1, 0},
      {{kNewControllerNumber}, "99999999999", 1, -1, 0},
      // A leading blank is read past, as in the main window's fields.
      {{kNewControllerNumber}, " 5", 5, -1, 0},
      // Access point: nibbles keep their low four bits, low byte up to 240.
      {{kAccessPointHigh}, "17", 1, -1, 0},
      {{kAccessPointMiddle}, "17", 1, -1, 0},
      {{kAccessPointMiddle}, "20", 4, -1, 0},
      {{kAccessPointLow}, "250", 240, -1, 0},
      {{kAccessPointLow}, "240", 240, -1, 0},
      // Start point 3: segment outside 1..10 and command outside 1..255
      // hold 1, stored as index 0.
      {{kStartPointSegment, 3}, "11", 1, 36, 0},
      {{kStartPointSegment, 3}, "0", 1, 36, 0},
      {{kStartPointSegment, 3}, "10", 10, 36, 9},
      {{kStartPointCommand, 3}, "256", 1, 37, 0},
      {{kStartPointCommand, 3}, "255", 255, 37, 254},
      // Start point 10 follows start point 9 in the record.
      {{kStartPointSegment, 10}, "7", 7, 50, 6},
      // Multiplier: modulo 256, negative (2^31 and above) holds 0.
      {{kTempoMultiplier, 1}, "300", 44, 1, 44},
      {{kTempoMultiplier, 1}, "200", 200, 1, 200},
      {{kTempoMultiplier, 8}, "2147483648", 0, 8, 0},
      // Receiver parameters: outside 0..60 replaced by 30.
      {{kReceiverX, 1}, "61", 30, 11, 30},
      {{kReceiverX, 1}, "60", 60, 11, 60},
      {{kReceiverX, 1}, "", 0, 11, 0},
      {{kReceiverX, 1}, "12a", 0, 11, 0},
      {{kReceiverY, 4}, "4294967295", 30, 18, 30},
      // Output state: anything but 0 holds 1.
      {{kOutputState, 1}, "5", 1, 21, 1},
      {{kOutputState, 1}, "0", 0, 21, 0},
      // Output type: any byte, negative holds 0.
      {{kOutputType, 1}, "7", 7, 19, 7},
      {{kOutputType, 4}, "4294967295", 0, 28, 0},
      // Output limit: plain modulo 256, a negative number too.
      {{kOutputLimit, 1}, "300", 44, 20, 44},
      {{kOutputLimit, 1}, "200", 200, 20, 200},
      {{kOutputLimit, 1}, "  7", 7, 20, 7},
      {{kOutputLimit, 4}, "4294967295", 255, 29, 255},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(testing::Message()
                 << static_cast<int>(test.field.kind) << " "
                 << test.field.number << " \"" << test.typed << "\"");
    PageFixture fixture;
    ConfigPageData data = fixture.Data();
    const EditDef* edit = FindEdit(test.field);
    ASSERT_NE(edit, nullptr);
    const ProgramImage before = fixture.image;

    EXPECT_EQ(TakeEditText(data, *edit, test.typed), test.held);
    EXPECT_EQ(ReadField(data, edit->field), test.held);
    EXPECT_EQ(EditText(data, *edit), std::to_string(test.held));
    for (std::size_t i = 0; i < kConfigBytes; ++i) {
      const std::uint8_t expected = static_cast<int>(i) == test.image_byte
                                        ? static_cast<std::uint8_t>(test.byte)
                                        : before[kGeneralConfigOffset + i];
      EXPECT_EQ(fixture.image[kGeneralConfigOffset + i], expected)
          << "record byte " << i;
    }
  }
}

// Only the controller number and the access point refresh the page when
// left.
TEST(PageEditsTest, OnlyNumberAndAccessPointRefreshWhenLeft) {
  for (auto table : {ConfigPageEdits(), OutputsPageEdits()}) {
    for (const EditDef& edit : table) {
      const FieldKind kind = edit.field.kind;
      const bool refreshing =
          kind == kNewControllerNumber || kind == kAccessPointHigh ||
          kind == kAccessPointMiddle || kind == kAccessPointLow;
      EXPECT_EQ(edit.refresh_on_focus_out, refreshing) << edit.name;
    }
  }
}

}  // namespace
}  // namespace lumera
