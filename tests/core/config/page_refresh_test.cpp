#include "core/config/page_refresh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/config/controller_config.h"
#include "core/config/page_edits.h"
#include "core/config/switch_display.h"

namespace lumera {
namespace {

struct PageFixture {
  PageFixture() {
    image.fill(0xFF);
    std::tm now{};
    now.tm_hour = 9;
    now.tm_min = 5;
    now.tm_sec = 7;
    StartConfiguration(image, status, page, now);
  }
  ConfigPageData Data() { return {image, page, {high, middle, low}, status}; }
  ProgramImage image;
  ControllerStatus status;
  ConfigPageValues page;
  std::uint8_t high = 15, middle = 15, low = 0;
};

using enum FieldKind;

WriteTarget Edit(FieldKind kind, int number = 0) {
  return EditTarget({kind, number});
}

std::string TextOf(const PageWrites& writes, const WriteTarget& target) {
  const ControlWrite* write = writes.Find(target);
  return write == nullptr ? "<not written>" : write->text;
}

// A fresh start writes every control of the configuration page once and
// fills rows 1 to 4 of the outputs page only.
TEST(PageRefreshTest, FreshStartShowsTheStartValues) {
  PageFixture fixture;
  ConfigPageData data = fixture.Data();
  const PageWrites config = RefreshConfigPage(data);
  std::vector<WriteTarget> expected;
  for (PageItem item :
       {PageItem::kIndexMode, PageItem::kClock, PageItem::kTempoText,
        PageItem::kStartText, PageItem::kMemoryText, PageItem::kSupplyText}) {
    expected.push_back(ItemTarget(item));
  }
  for (const EditDef& edit : ConfigPageEdits()) {
    expected.push_back(EditTarget(edit.field));
  }
  for (int position = 1; position <= 8; ++position) {
    expected.push_back(ItemTarget(PageItem::kSwitchPosition, position));
  }
  EXPECT_EQ(config.size(), expected.size());
  for (const WriteTarget& target : expected) {
    EXPECT_EQ(std::count_if(config.begin(), config.end(),
                            [&](const ControlWrite& write) {
                              return write.target == target;
                            }),
              1);
  }
  EXPECT_EQ(TextOf(config, Edit(kAccessPointLow)), "0");
  EXPECT_EQ(TextOf(config, Edit(kTempoMultiplier, 8)), "71");
  // The computer's time at start-up, until the first clock operation.
  EXPECT_EQ(TextOf(config, ItemTarget(PageItem::kClock)), "09:05:07");

  const PageWrites outputs = RefreshOutputsPage(data);
  for (int t = 1; t <= 4; ++t) {
    EXPECT_EQ(TextOf(outputs, Edit(kReceiverX, t)), "30");
    EXPECT_EQ(TextOf(outputs, Edit(kReceiverY, t)), "30");
  }
  for (int n = 1; n <= 8; ++n) {
    SCOPED_TRACE(n);
    const bool filled = n <= 4;
    for (FieldKind kind : {kOutputType, kOutputLimit, kOutputState}) {
      ASSERT_NE(outputs.Find(Edit(kind, n)), nullptr);
      EXPECT_EQ(outputs.Find(Edit(kind, n))->enabled, filled);
    }
    EXPECT_EQ(TextOf(outputs, Edit(kOutputType, n)), filled ? "1" : "");
    EXPECT_EQ(TextOf(outputs, Edit(kOutputLimit, n)), filled ? "0" : "");
  }
}

// Values from the controller or from a file that no edit would hold pass
// through the edits' rules at the first refresh, and are shown as held;
// values an edit holds stay through any number of refreshes.
TEST(PageRefreshTest, RefreshPassesHeldValuesThroughTheRules) {
  PageFixture fixture;
  const ControllerConfig config(fixture.image);
  for (std::size_t i = 0; i < kConfigBlockSize; ++i) {
    config.StartPointBlock()[i] = 0xFF;  // an erased EEPROM
  }
  config.SetTempoMultiplier(2, 200);
  config.SetReceiverType(1, {200, 61});
  config.SetReceiverType(4, {60, 0});
  config.SetOutput(3, {250, 255, 2});
  config.SetOutput(4, {0, 0, 3});
  fixture.page.new_controller_number = 0;  // a short file's byte 0
  fixture.low = 255;                       // from the settings file
  fixture.page.clock_time = {0xFF, 0xFF, 0xFF};

  for (int round = 1; round <= 3; ++round) {
    SCOPED_TRACE(round);
    ConfigPageData data = fixture.Data();
    const PageWrites page = RefreshConfigPage(data);
    const PageWrites outputs = RefreshOutputsPage(data);
    for (int n = 1; n <= kStartPointCount; ++n) {
      EXPECT_EQ(config.GetStartPoint(n), (StartPoint{0, 0})) << n;
    }
    EXPECT_EQ(TextOf(page, Edit(kStartPointSegment, 9)), "1");
    EXPECT_EQ(TextOf(page, Edit(kStartPointCommand, 9)), "1");
    EXPECT_EQ(config.TempoMultiplier(2), 200);
    EXPECT_EQ(TextOf(page, Edit(kTempoMultiplier, 2)), "200");
    EXPECT_EQ(fixture.page.new_controller_number, 1);
    EXPECT_EQ(TextOf(page, Edit(kNewControllerNumber)), "1");
    EXPECT_EQ(fixture.low, 240);
    EXPECT_EQ(TextOf(page, Edit(kAccessPointLow)), "240");
    EXPECT_EQ(TextOf(page, ItemTarget(PageItem::kClock)), "FF:FF:FF");

    EXPECT_EQ(config.ReceiverType(1), (ReceiverTypeParams{30, 30}));
    EXPECT_EQ(TextOf(outputs, Edit(kReceiverX, 1)), "30");
    EXPECT_EQ(config.ReceiverType(4), (ReceiverTypeParams{60, 0}));
    EXPECT_EQ(config.Output(3), (OutputSetup{250, 255, 0}));
    EXPECT_EQ(TextOf(outputs, Edit(kOutputState, 3)), "0");
    EXPECT_EQ(config.Output(4), (OutputSetup{0, 0, 1}));
    EXPECT_EQ(TextOf(outputs, Edit(kOutputState, 4)), "1");
  }
  EXPECT_EQ(config.Marker(), kConfigMarker);
}

TEST(PageRefreshTest, SwitchDisplayReadsTheSwitchAndFlags) {
  struct Case {
    std::uint8_t switch_byte;
    std::uint8_t flags;
    const char* on;  // positions 1 to 8, left to right: '1' shows on
    const char* tempo;
    const char* start;
    const char* memory;
    const char* supply;
  };
  const Case cases[] = {
      {0x00, 0x00, "11111111", "nr 8", "nr 16", "Pamęć zewnętrzna", "50Hz"},
      {0xFF, 0x00, "00000000", "nr 1", "nr 1", "Pamięć wewnętrzna", "50Hz"},
      {0x00, 0x01, "11111111", "nr 8", "nr 16", "Tylko pamięć wewnętrzna",
       "50Hz"},
      {0xFF, 0x05, "00000000", "nr 1", "nr 1", "Tylko pamięć wewnętrzna", "DC"},
      {0x00, 0xFA, "11111111", "nr 8", "nr 16", "Pamęć zewnętrzna", "50Hz"},
      // Bit 7 is position 1 at the left; 0xA3 turns positions 2, 4, 5 and
      // 6 on: tempo bits 110 clear give 5 + 1, start bits 0011 give 12 + 1.
      {0xA3, 0x04, "01011100", "nr 6", "nr 13", "Pamięć wewnętrzna", "DC"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << int{test.switch_byte} << " "
                                    << int{test.flags});
    ControllerStatus status;
    status.switch_byte = test.switch_byte;
    status.flags = test.flags;
    const SwitchDisplay display = RefreshSwitchDisplay(status);
    for (std::size_t i = 0; i < 8; ++i) {
      EXPECT_EQ(display.pictures[i],
                test.on[i] == '1' ? kSwitchOnPicture : kSwitchOffPicture)
          << i;
    }
    EXPECT_EQ(display.tempo_text, test.tempo);
    EXPECT_EQ(display.start_text, test.start);
    EXPECT_EQ(display.memory_text, test.memory);
    EXPECT_EQ(display.supply_text, test.supply);
  }
}

// A read whose output mask marks outputs 2 and 4 leaves their rows as the
// previous refresh left them: nothing is written into them and their values
// are not passed through the rules.
TEST(PageRefreshTest, MaskedRowIsLeftAsItWas) {
  PageFixture fixture;
  ConfigPageData data = fixture.Data();
  RefreshOutputsPage(data);
  ControllerConfig(fixture.image).SetOutput(2, {3, 9, 2});
  ControllerConfig(fixture.image).SetOutput(4, {0, 0, 5});
  fixture.status.output_mask = 0xFA;
  const PageWrites writes = RefreshOutputsPage(data);
  for (int n : {2, 4}) {
    for (FieldKind kind : {kOutputType, kOutputLimit, kOutputState}) {
      EXPECT_EQ(writes.Find(Edit(kind, n)), nullptr) << n;
    }
  }
  EXPECT_EQ(ConstControllerConfig(fixture.image).Output(2),
            (OutputSetup{3, 9, 2}));
  EXPECT_EQ(ConstControllerConfig(fixture.image).Output(4),
            (OutputSetup{0, 0, 5}));
  EXPECT_EQ(TextOf(writes, Edit(kOutputType, 1)), "1");
  EXPECT_EQ(TextOf(writes, Edit(kOutputType, 3)), "1");
}

// Outputs 5 to 8 have no place in the record: whatever the mask says, what
// is typed into them is refused (it would reach neither the controller nor
// a file) and the refresh keeps them blank and disabled.
TEST(PageRefreshTest, RowsFiveToEightStayBlankAndDisabled) {
  for (const std::uint8_t mask : {0x00, 0xF0, 0x0F}) {
    PageFixture fixture;
    fixture.status.output_mask = mask;
    ConfigPageData data = fixture.Data();
    const ProgramImage before = fixture.image;
    for (FieldRef field :
         {FieldRef{kOutputType, 5}, FieldRef{kOutputLimit, 8},
          FieldRef{kOutputState, 8}, FieldRef{kOutputType, 8}}) {
      SCOPED_TRACE(::testing::Message()
                   << "mask " << int{mask} << " output " << field.number);
      ASSERT_TRUE(EditHasNoRecordPlace(*FindEdit(field)));
      EXPECT_EQ(TakeEditText(data, *FindEdit(field), "4"), -1);
      const PageWrites writes = RefreshOutputsPage(data);
      EXPECT_EQ(TextOf(writes, EditTarget(field)), "");
      EXPECT_FALSE(writes.Find(EditTarget(field))->enabled);
    }
    EXPECT_FALSE(EditHasNoRecordPlace(*FindEdit({kOutputType, 1})));
    EXPECT_EQ(fixture.image, before);
  }
}

}  // namespace
}  // namespace lumera
