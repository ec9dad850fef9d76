#include "core/config/controller_config.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <ctime>

#include "core/config/config_page_values.h"

namespace lumera {
namespace {

ProgramImage FilledImage(std::uint8_t value) {
  ProgramImage image;
  image.fill(value);
  return image;
}

// The start-up record as the controller expects it, written out by hand.
constexpr std::array<std::uint8_t, kConfigBytes> kStartRecord = {
    1,                                           // controller number
    1,  11, 21, 31, 41, 51, 61, 71,              // tempo multipliers
    30, 30,                                      // receiver type 0
    30, 30, 30, 30, 30, 30, 30, 30,              // receiver types 1..4
    1,  0,  0,  1,  0,  0,  1,  0,  0, 1, 0, 0,  // outputs 1..4
    75,                                          // marker
    0,  0,  0,  0,  0,  0,  0,  0,  0, 0, 0, 0, 0, 0, 0, 0,  // start points
    0,  0,  0,  0,  0,  0,  0,  0,  0, 0, 0, 0, 0, 0, 0, 0};

TEST(ControllerConfigTest, DefaultsFillOnlyTheLast64BytesByteForByte) {
  ProgramImage image = FilledImage(0xFF);
  WriteConfigDefaults(image);
  for (std::size_t i = 0; i < kProgramBytes; ++i) {
    ASSERT_EQ(image[i], 0xFF) << "command byte " << i;
  }
  for (std::size_t i = 0; i < kConfigBytes; ++i) {
    EXPECT_EQ(image[kGeneralConfigOffset + i], kStartRecord[i])
        << "config byte " << i;
  }
}

TEST(ControllerConfigTest, StartConfigurationGivesTheStartState) {
  ProgramImage image = FilledImage(0xFF);
  ControllerStatus status{0x12, 0x05, 0x00, 3, 4, ClockTime{1, 2, 3}};
  ConfigPageValues page{200, true, {}};
  std::tm now{};
  now.tm_hour = 9;
  now.tm_min = 5;
  now.tm_sec = 7;
  StartConfiguration(image, status, page, now);

  EXPECT_TRUE(std::equal(kStartRecord.begin(), kStartRecord.end(),
                         image.begin() + kGeneralConfigOffset));
  EXPECT_EQ(status.switch_byte, 0);
  EXPECT_EQ(status.flags, 0);
  EXPECT_EQ(status.output_mask, 0xF0);
  EXPECT_EQ(status.version_major, 0);
  EXPECT_EQ(status.version_minor, 0);
  EXPECT_EQ(page.new_controller_number, 1);
  EXPECT_FALSE(page.index_mode);
  EXPECT_EQ(page.clock_time, (ClockTime{0x09, 0x05, 0x07}));
}

// Each field lands on the byte of the record that the controller reads.
TEST(ControllerConfigTest, FieldsMapToTheirImageBytes) {
  struct Case {
    const char* field;
    void (*set)(const ControllerConfig&);
    std::size_t image_offset;
  };
  const Case cases[] = {
      {"controller number",
       [](const ControllerConfig& c) { c.SetControllerNumber(0xAB); }, 7650},
      {"tempo 1",
       [](const ControllerConfig& c) { c.SetTempoMultiplier(1, 0xAB); }, 7651},
      {"tempo 8",
       [](const ControllerConfig& c) { c.SetTempoMultiplier(8, 0xAB); }, 7658},
      {"receiver 0 X",
       [](const ControllerConfig& c) {
         c.SetReceiverType(0, {0xAB, 0});
       },
       7659},
      {"receiver 1 X",
       [](const ControllerConfig& c) {
         c.SetReceiverType(1, {0xAB, 0});
       },
       7661},
      {"receiver 4 Y",
       [](const ControllerConfig& c) {
         c.SetReceiverType(4, {0, 0xAB});
       },
       7668},
      {"output 1 type",
       [](const ControllerConfig& c) {
         c.SetOutput(1, {0xAB, 0, 0});
       },
       7669},
      {"output 2 limit",
       [](const ControllerConfig& c) {
         c.SetOutput(2, {0, 0xAB, 0});
       },
       7673},
      {"output 4 state",
       [](const ControllerConfig& c) {
         c.SetOutput(4, {0, 0, 0xAB});
       },
       7680},
      {"marker", [](const ControllerConfig& c) { c.SetMarker(0xAB); }, 7681},
      {"start point 1 segment",
       [](const ControllerConfig& c) {
         c.SetStartPoint(1, {0xAB, 0});
       },
       7682},
      {"start point 1 command",
       [](const ControllerConfig& c) {
         c.SetStartPoint(1, {0, 0xAB});
       },
       7683},
      {"start point 16 command",
       [](const ControllerConfig& c) {
         c.SetStartPoint(16, {0, 0xAB});
       },
       7713},
  };
  for (const Case& test : cases) {
    ProgramImage image = FilledImage(0);
    test.set(ControllerConfig(image));
    for (std::size_t i = 0; i < kImageSize; ++i) {
      ASSERT_EQ(image[i], i == test.image_offset ? 0xAB : 0)
          << test.field << " at image byte " << i;
    }
  }
}

TEST(ControllerConfigTest, ReadOnlyViewReadsWhatTheWritableViewWrote) {
  ProgramImage image = FilledImage(0);
  const ControllerConfig config(image);
  config.SetReceiverType(3, {12, 34});
  config.SetOutput(3, {5, 6, 1});
  config.SetStartPoint(7, {9, 254});
  const ProgramImage& const_image = image;
  const ConstControllerConfig view(const_image);
  EXPECT_EQ(view.ReceiverType(3), (ReceiverTypeParams{12, 34}));
  EXPECT_EQ(view.Output(3), (OutputSetup{5, 6, 1}));
  EXPECT_EQ(view.GetStartPoint(7), (StartPoint{9, 254}));
  EXPECT_EQ(view.GeneralBlock().data(), image.data() + 7650);
  EXPECT_EQ(view.StartPointBlock().data(), image.data() + 7682);
}

// SyncControllerNumber and SetConfigMarker against records of various
// states, including a received block whose marker is not 75 and the byte 0
// of 0 that a short program file leaves.
TEST(ControllerConfigTest, SyncAndMarkerRules) {
  struct Case {
    std::uint8_t number_byte;
    std::uint8_t marker_before;
    bool sync;  // false: SetConfigMarker alone
    int expected_new_number;
  };
  const Case cases[] = {
      {1, 75, true, 1},     {254, 0, true, 254},   {0, 0, true, 0},
      {17, 0xFF, true, 17}, {42, 0x00, false, 99}, {42, 0xFF, false, 99},
  };
  for (const Case& test : cases) {
    ProgramImage image = FilledImage(0x5A);
    const ControllerConfig config(image);
    config.SetControllerNumber(test.number_byte);
    config.SetMarker(test.marker_before);
    ConfigPageValues page{99, false, {}};
    if (test.sync) {
      SyncControllerNumber(image, page);
    } else {
      SetConfigMarker(image);
    }
    EXPECT_EQ(page.new_controller_number, test.expected_new_number);
    EXPECT_EQ(config.Marker(), 75);
    EXPECT_EQ(config.ControllerNumber(), test.number_byte);
    // Nothing else of the image is touched.
    for (std::size_t i = 0; i < kImageSize; ++i) {
      if (i == kGeneralConfigOffset || i == kGeneralConfigOffset + 31) continue;
      ASSERT_EQ(image[i], 0x5A) << "byte " << i;
    }
  }
}

TEST(ControllerStatusTest, VersionByteSplitsIntoNibbles) {
  struct Case {
    std::uint8_t byte;
    std::uint8_t major;
    std::uint8_t minor;
  };
  const Case cases[] = {
      {0x12, 1, 2}, {0x05, 0, 5}, {0xF0, 15, 0}, {0xFF, 15, 15}};
  for (const Case& test : cases) {
    ControllerStatus status;
    SetVersionFromByte(status, test.byte);
    EXPECT_EQ(status.version_major, test.major) << int{test.byte};
    EXPECT_EQ(status.version_minor, test.minor) << int{test.byte};
  }
}

}  // namespace
}  // namespace lumera
