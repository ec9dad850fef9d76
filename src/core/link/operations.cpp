#include "core/link/operations.h"

#include <array>

namespace lumera {
namespace {

using enum RequestCode;

constexpr std::array<OperationDef, kOperationCount> kOperations = {{
    {kRestartController, "RestartController", 0, 0},
    {kPauseProgram, "PauseProgram", 0, 6},
    {kResumeProgram, "ResumeProgram", 0, 6},
    {kStepCommand, "StepCommand", 1, 6},
    {kReadPosition, "ReadPosition", 0, 8},
    {kResetRadio, "ResetRadio", 0, 0},
    {kReadControllerNumber, "ReadControllerNumber", 0, 7},
    {kWriteControllerNumber, "WriteControllerNumber", 1, 6},
    {kWriteCommand, "WriteCommand", 5, 6},
    {kReadCommand, "ReadCommand", 2, 9},
    // The reply is never read: the worker waits for the controller instead.
    {kLoadDefaults, "LoadDefaults", 1, 6},
    {kWriteConfiguration, "WriteConfiguration", 32, 6},
    {kWriteStartPoints, "WriteStartPoints", 32, 6},
    {kReadConfiguration, "ReadConfiguration", 0, 38},
    {kReadStartPoints, "ReadStartPoints", 0, 38},
    {kReadHardwareInfo, "ReadHardwareInfo", 0, 16},
    {kReadErrorReport, "ReadErrorReport", 0, 10},
    {kRunStartPointByIndex, "RunStartPointByIndex", 1, 6},
    {kSelectTempo, "SelectTempo", 1, 6},
    {kReadVersion, "ReadVersion", 0, 7},
    {kRunFrom, "RunFrom", 9, 0},
    {kStopProgram, "StopProgram", 0, 6},
    {kReadRegisters, "ReadRegisters", 0, 14},
    {kSetStopPoint, "SetStopPoint", 2, 0},
    {kWriteClock, "WriteClock", 3, 9},
    {kReadClock, "ReadClock", 3, 9},
}};

}  // namespace

const OperationDef* OperationTable() { return kOperations.data(); }

const OperationDef* FindOperation(std::uint8_t code) {
  for (const OperationDef& op : kOperations) {
    if (static_cast<std::uint8_t>(op.code) == code) return &op;
  }
  return nullptr;
}

}  // namespace lumera
