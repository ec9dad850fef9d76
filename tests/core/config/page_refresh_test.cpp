#include "core/config/page_refresh.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "app/pages/config/config_page_ids.h"
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

std::string TextOf(const PageWrites& writes, int id) {
  const ControlWrite* write = writes.Find(id);
  return write == nullptr ? "<not written>" : write->text;
}

// A fresh start writes every control of the configuration page once and
// fills rows 1 to 4 of the outputs page only.
TEST(PageRefreshTest, FreshStartShowsTheStartValues) {
  PageFixture fixture;
  ConfigPageData data = fixture.Data();
  const PageWrites config = RefreshConfigPage(data);
  std::multiset<int> written;
  for (const ControlWrite& write : config) written.insert(write.control_id);
  std::multiset<int> expected = {1171, 1179, 1167, 1168, 1169, 1170};
  for (const EditDef& edit : ConfigPageEdits()) {
    expected.insert(edit.control_id);
  }
  for (int id = 1159; id <= 1166; ++id) expected.insert(id);
  EXPECT_EQ(written, expected);
  EXPECT_EQ(TextOf(config, 1174), "0");
  EXPECT_EQ(TextOf(config, 1156), "71");
  // The computer's time at start-up, until the first clock operation.
  EXPECT_EQ(TextOf(config, 1179), "09:05:07");

  const PageWrites outputs = RefreshOutputsPage(data);
  for (int t = 0; t < 4; ++t) {
    EXPECT_EQ(TextOf(outputs, 1041 + 2 * t), "30");
    EXPECT_EQ(TextOf(outputs, 1042 + 2 * t), "30");
  }
  for (int n = 1; n <= 8; ++n) {
    SCOPED_TRACE(n);
    const bool filled = n <= 4;
    for (int id : {1032 + n, 1016 + n, 1024 + n}) {
      ASSERT_NE(outputs.Find(id), nullptr);
      EXPECT_EQ(outputs.Find(id)->enabled, filled);
    }
    EXPECT_EQ(TextOf(outputs, 1032 + n), filled ? "1" : "");
    EXPECT_EQ(TextOf(outputs, 1016 + n), filled ? "0" : "");
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
    EXPECT_EQ(TextOf(page, 1147), "1");  // start point 9, segment
    EXPECT_EQ(TextOf(page, 1131), "1");  // start point 9, command
    EXPECT_EQ(config.TempoMultiplier(2), 200);
    EXPECT_EQ(TextOf(page, 1150), "200");
    EXPECT_EQ(fixture.page.new_controller_number, 1);
    EXPECT_EQ(TextOf(page, 1053), "1");
    EXPECT_EQ(fixture.low, 240);
    EXPECT_EQ(TextOf(page, 1174), "240");
    EXPECT_EQ(TextOf(page, 1179), "FF:FF:FF");

    EXPECT_EQ(config.ReceiverType(1), (ReceiverTypeParams{30, 30}));
    EXPECT_EQ(TextOf(outputs, 1041), "30");
    EXPECT_EQ(config.ReceiverType(4), (ReceiverTypeParams{60, 0}));
    EXPECT_EQ(config.Output(3), (OutputSetup{250, 255, 0}));
    EXPECT_EQ(TextOf(outputs, 1027), "0");
    EXPECT_EQ(config.Output(4), (OutputSetup{0, 0, 1}));
    EXPECT_EQ(TextOf(outputs, 1028), "1");
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
      EXPECT_EQ(display.positions[i].control_id,
                config_page_ids::kSwitchPositions[i]);
      EXPECT_EQ(display.positions[i].picture,
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
  for (int id : {1034, 1018, 1026, 1036, 1020, 1028}) {
    EXPECT_EQ(writes.Find(id), nullptr) << id;
  }
  EXPECT_EQ(ConstControllerConfig(fixture.image).Output(2),
            (OutputSetup{3, 9, 2}));
  EXPECT_EQ(ConstControllerConfig(fixture.image).Output(4),
            (OutputSetup{0, 0, 5}));
  EXPECT_EQ(TextOf(writes, 1033), "1");
  EXPECT_EQ(TextOf(writes, 1035), "1");
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
    for (int id : {1037, 1024, 1032, 1040}) {
      SCOPED_TRACE(::testing::Message()
                   << "mask " << int{mask} << " id " << id);
      ASSERT_TRUE(EditHasNoRecordPlace(*FindEdit(id)));
      EXPECT_EQ(TakeEditText(data, *FindEdit(id), "4"), -1);
      const PageWrites writes = RefreshOutputsPage(data);
      EXPECT_EQ(TextOf(writes, id), "");
      EXPECT_FALSE(writes.Find(id)->enabled);
    }
    EXPECT_FALSE(EditHasNoRecordPlace(*FindEdit(1033)));
    EXPECT_EQ(fixture.image, before);
  }
}

}  // namespace
}  // namespace lumera
