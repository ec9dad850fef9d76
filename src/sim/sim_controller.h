// One virtual controller: its memory and run state, and the answer it gives
// to each request addressed to it. Pure: bytes in, bytes out, with the time
// of day taken from an injected source so tests can fix it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "core/link/frames.h"
#include "core/link/link_state.h"
#include "core/model/program_types.h"

namespace lumera {

// Seconds since local midnight, 0 to 86399.
using TimeOfDaySource = std::function<int()>;

// The computer's local time of day.
int LocalTimeOfDay();

inline constexpr int kSecondsPerDay = 24 * 60 * 60;
inline constexpr std::size_t kHardwareInfoSize = 10;
inline constexpr std::size_t kMaxReplyFrame = kMaxRequestFrameSize;
// Where the reported fields sit in the hardware-information bytes (reply
// bytes 5 to 14).
inline constexpr std::size_t kHardwareSwitchIndex = 6;
inline constexpr std::size_t kHardwareFlagsIndex = 7;
inline constexpr std::size_t kHardwareOutputMaskIndex = 8;
// Firmware 1.0: major in the high nibble.
inline constexpr std::uint8_t kSimFirmwareVersion = 0x10;

struct SimPosition {
  std::uint8_t segment = 0;
  std::uint8_t command = 0;
  friend bool operator==(const SimPosition&, const SimPosition&) = default;
};

struct SimErrorReport {
  std::uint8_t task = 0;
  std::uint8_t segment = 0;
  std::uint8_t command = 0;
  std::uint8_t error = 0;
  friend bool operator==(const SimErrorReport&,
                         const SimErrorReport&) = default;
};

// Everything a controller remembers. The program and the 64-byte
// configuration share one image, laid out as a program file.
struct SimControllerState {
  ProgramImage image{};
  std::uint8_t version = kSimFirmwareVersion;
  std::array<std::uint8_t, kHardwareInfoSize> hardware_info{};
  SimErrorReport error_report;
  std::array<std::uint8_t, kRegisterCount> registers{};
  SimPosition position;
  std::optional<SimPosition> stop_point;
  bool running = false;
  bool paused = false;
  std::uint8_t tempo = 0;
  // Added to the time-of-day source; set by WriteClock.
  int clock_offset_seconds = 0;
};

// A fresh controller: erased program, start-up configuration with the given
// number, all positions of the switch off, outputs 1 to 4 configurable.
SimControllerState FreshControllerState(std::uint8_t number = 1);

// A reply has the layout of a request frame: start byte, 0xFF, the
// answering controller's number, length, code, data, sum.
using ReplyFrame = RequestFrame;

class SimController {
 public:
  SimController(SimControllerState state, TimeOfDaySource time_of_day);

  // The number this controller answers to: byte 0 of its configuration.
  std::uint8_t Number() const;

  // Applies one request and returns its reply frame. Nothing for requests
  // that are never answered, for unknown codes and for requests whose
  // payload has the wrong size or is out of range (those change nothing).
  std::optional<ReplyFrame> Answer(std::uint8_t code,
                                   std::span<const std::uint8_t> payload);

  // The controller's clock now, as hour, minute and second in BCD.
  std::array<std::uint8_t, 3> ClockBcd() const;

  const SimControllerState& State() const { return state_; }
  SimControllerState& MutableState() { return state_; }

 private:
  // Applies the request; false when it is malformed and must be ignored.
  bool Apply(std::uint8_t code, std::span<const std::uint8_t> payload);
  // The reply data (bytes from offset 5 up to the checksum) for `code`.
  void FillReplyData(std::uint8_t code, std::span<const std::uint8_t> payload,
                     std::span<std::uint8_t> data) const;
  void StepPosition(std::uint8_t segment);

  SimControllerState state_;
  TimeOfDaySource time_of_day_;
};

}  // namespace lumera
