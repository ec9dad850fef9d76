// The catalogue of controller requests: code, payload size and the length of
// the whole reply frame that each one expects.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumera {

enum class RequestCode : std::uint8_t {
  kRestartController = 64,
  kPauseProgram = 65,
  kResumeProgram = 66,
  kStepCommand = 67,
  kReadPosition = 68,
  kResetRadio = 69,
  kReadControllerNumber = 71,
  kWriteControllerNumber = 72,
  kWriteCommand = 77,
  kReadCommand = 78,
  kLoadDefaults = 81,
  kWriteConfiguration = 84,
  kWriteStartPoints = 85,
  kReadConfiguration = 86,
  kReadStartPoints = 87,
  kReadHardwareInfo = 88,
  kReadErrorReport = 90,
  kRunStartPointByIndex = 91,
  kSelectTempo = 92,
  kReadVersion = 93,
  kRunFrom = 94,
  kStopProgram = 96,
  kReadRegisters = 98,
  kSetStopPoint = 99,
  kWriteClock = 100,
  kReadClock = 101,
};

struct OperationDef {
  RequestCode code;
  std::string_view name;
  int payload_size;  // bytes following the request code
  int reply_length;  // whole reply frame; 0 = no reply is read
};

inline constexpr int kOperationCount = 26;
// Largest payload of any request (configuration blocks).
inline constexpr int kMaxPayload = 32;

// The 26 operations, in code order.
const OperationDef* OperationTable();

// The operation for `code`, or nothing for a code outside the catalogue.
const OperationDef* FindOperation(std::uint8_t code);

// Selection words carried by RunFrom and the radio header.
inline constexpr std::uint16_t kAllSelectionWord1 = 0xFFFA;
inline constexpr std::uint16_t kAllSelectionWord2 = 0xFFFF;
inline constexpr std::uint16_t kAllSelectionWord3 = 0xFFFF;

}  // namespace lumera
