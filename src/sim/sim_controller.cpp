#include "sim/sim_controller.h"

#include <algorithm>
#include <ctime>
#include <utility>

#include "core/config/clock_time.h"
#include "core/config/controller_config.h"
#include "core/link/frames.h"
#include "core/link/operations.h"

namespace lumera {

namespace {

bool IsSegmentIndex(std::uint8_t value) { return value < kSegmentCount; }
bool IsCommandIndex(std::uint8_t value) { return value < kCommandsPerSegment; }

int PositiveModulo(int value, int modulus) {
  const int rest = value % modulus;
  return rest < 0 ? rest + modulus : rest;
}

void EraseProgram(ProgramImage& image) {
  std::fill(image.begin(), image.begin() + kProgramBytes, 0xFF);
}

}  // namespace

int LocalTimeOfDay() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 0;
  // std::tm allows a leap second; the controller's clock does not.
  return local.tm_hour * 3600 + local.tm_min * 60 + std::min(local.tm_sec, 59);
}

SimControllerState FreshControllerState(std::uint8_t number) {
  SimControllerState state;
  state.image.fill(0xFF);
  WriteConfigDefaults(state.image);
  ControllerConfig(state.image).SetControllerNumber(number);
  state.hardware_info.fill(0);
  state.hardware_info[kHardwareSwitchIndex] = 0xFF;
  state.hardware_info[kHardwareOutputMaskIndex] = 0xF0;
  return state;
}

SimController::SimController(SimControllerState state,
                             TimeOfDaySource time_of_day)
    : state_(std::move(state)), time_of_day_(std::move(time_of_day)) {}

std::uint8_t SimController::Number() const {
  return ConstControllerConfig(state_.image).ControllerNumber();
}

std::array<std::uint8_t, 3> SimController::ClockBcd() const {
  const int now = PositiveModulo(time_of_day_() + state_.clock_offset_seconds,
                                 kSecondsPerDay);
  return {ToBcd(now / 3600), ToBcd(now / 60 % 60), ToBcd(now % 60)};
}

std::optional<ReplyFrame> SimController::Answer(
    std::uint8_t code, std::span<const std::uint8_t> payload) {
  const OperationDef* operation = FindOperation(code);
  if (operation == nullptr) return std::nullopt;
  if (payload.size() != static_cast<std::size_t>(operation->payload_size)) {
    return std::nullopt;
  }
  // The reply names the controller as it was addressed, also when the
  // request gave it a new number.
  const std::uint8_t number = Number();
  if (!Apply(code, payload)) return std::nullopt;
  // LoadDefaults is answered too, although the system never waits for it.
  const auto length = static_cast<std::size_t>(operation->reply_length);
  if (length == 0) return std::nullopt;
  // Code and data, the part of the frame that follows its length byte.
  std::array<std::uint8_t, kMaxReplyFrame> body{};
  body[0] = code;
  FillReplyData(code, payload, std::span(body).subspan(1, length - 6));
  ReplyFrame reply;
  if (!BuildRequestFrame(number, static_cast<std::uint8_t>(length - 4),
                         std::span(body).first(length - 5), reply)) {
    return std::nullopt;
  }
  return reply;
}

bool SimController::Apply(std::uint8_t code,
                          std::span<const std::uint8_t> payload) {
  const ControllerConfig config(state_.image);
  switch (static_cast<RequestCode>(code)) {
    case RequestCode::kRestartController:
      state_.position = {};
      state_.stop_point.reset();
      state_.running = true;
      state_.paused = false;
      return true;
    case RequestCode::kPauseProgram:
      state_.paused = true;
      return true;
    case RequestCode::kResumeProgram:
      state_.paused = false;
      return true;
    case RequestCode::kStepCommand:
      if (!IsSegmentIndex(payload[0])) return false;
      StepPosition(payload[0]);
      return true;
    case RequestCode::kWriteControllerNumber:
      if (payload[0] == 0 || payload[0] == 255) return false;
      config.SetControllerNumber(payload[0]);
      return true;
    case RequestCode::kWriteCommand: {
      if (!IsSegmentIndex(payload[0]) || !IsCommandIndex(payload[1])) {
        return false;
      }
      const std::size_t offset = CommandOffset(payload[0], payload[1]);
      std::copy(payload.begin() + 2, payload.end(),
                state_.image.begin() + static_cast<std::ptrdiff_t>(offset));
      return true;
    }
    case RequestCode::kReadCommand:
      return IsSegmentIndex(payload[0]) && IsCommandIndex(payload[1]);
    case RequestCode::kLoadDefaults:
      if (payload[0] > 1) return false;
      WriteConfigDefaults(state_.image);
      if (payload[0] == 0) EraseProgram(state_.image);
      return true;
    case RequestCode::kWriteConfiguration:
      std::copy(payload.begin(), payload.end(), config.GeneralBlock().begin());
      return true;
    case RequestCode::kWriteStartPoints:
      std::copy(payload.begin(), payload.end(),
                config.StartPointBlock().begin());
      return true;
    case RequestCode::kRunStartPointByIndex: {
      if (payload[0] >= kStartPointCount) return false;
      const StartPoint start = config.GetStartPoint(payload[0] + 1);
      state_.position = {start.segment_index, start.command_index};
      state_.running = true;
      state_.paused = false;
      return true;
    }
    case RequestCode::kSelectTempo:
      if (payload[0] >= kTempoMultiplierCount) return false;
      state_.tempo = payload[0];
      return true;
    case RequestCode::kRunFrom:
      if (!IsSegmentIndex(payload[0]) || !IsCommandIndex(payload[1])) {
        return false;
      }
      state_.position = {payload[0], payload[1]};
      state_.running = true;
      state_.paused = false;
      return true;
    case RequestCode::kStopProgram:
      state_.running = false;
      return true;
    case RequestCode::kSetStopPoint:
      if (!IsSegmentIndex(payload[0]) || !IsCommandIndex(payload[1])) {
        return false;
      }
      state_.stop_point = SimPosition{payload[0], payload[1]};
      return true;
    case RequestCode::kWriteClock: {
      const auto hour = FromBcd(payload[0], 23);
      const auto minute = FromBcd(payload[1], 59);
      const auto second = FromBcd(payload[2], 59);
      // A time that is not one keeps the clock running as it was; the reply
      // then tells the caller what the clock really holds.
      if (hour && minute && second) {
        const int wanted = *hour * 3600 + *minute * 60 + *second;
        state_.clock_offset_seconds =
            PositiveModulo(wanted - time_of_day_(), kSecondsPerDay);
      }
      return true;
    }
    case RequestCode::kReadPosition:
    case RequestCode::kResetRadio:
    case RequestCode::kReadControllerNumber:
    case RequestCode::kReadConfiguration:
    case RequestCode::kReadStartPoints:
    case RequestCode::kReadHardwareInfo:
    case RequestCode::kReadErrorReport:
    case RequestCode::kReadVersion:
    case RequestCode::kReadRegisters:
    case RequestCode::kReadClock:
      return true;
  }
  return false;
}

void SimController::FillReplyData(std::uint8_t code,
                                  std::span<const std::uint8_t> payload,
                                  std::span<std::uint8_t> data) const {
  const ConstControllerConfig config(state_.image);
  auto put = [&data](std::span<const std::uint8_t> bytes) {
    std::copy_n(bytes.begin(), std::min(bytes.size(), data.size()),
                data.begin());
  };
  switch (static_cast<RequestCode>(code)) {
    case RequestCode::kReadPosition:
      put(std::array{state_.position.segment, state_.position.command});
      break;
    case RequestCode::kReadControllerNumber:
      put(std::array{Number()});
      break;
    case RequestCode::kReadCommand:
      put(std::span(state_.image)
              .subspan(CommandOffset(payload[0], payload[1]), kCommandSize));
      break;
    case RequestCode::kReadConfiguration:
      put(config.GeneralBlock());
      break;
    case RequestCode::kReadStartPoints:
      put(config.StartPointBlock());
      break;
    case RequestCode::kReadHardwareInfo:
      put(state_.hardware_info);
      break;
    case RequestCode::kReadErrorReport:
      put(std::array{state_.error_report.task, state_.error_report.segment,
                     state_.error_report.command, state_.error_report.error});
      break;
    case RequestCode::kReadVersion:
      put(std::array{state_.version});
      break;
    case RequestCode::kReadRegisters:
      put(state_.registers);
      break;
    case RequestCode::kWriteClock:
    case RequestCode::kReadClock:
      put(ClockBcd());
      break;
    default:
      break;
  }
}

void SimController::StepPosition(std::uint8_t segment) {
  // The first step into another segment lands on its first command; later
  // steps walk the command list and wrap at its end (the first empty slot).
  if (segment != state_.position.segment) {
    state_.position = {segment, 0};
    return;
  }
  const int next = state_.position.command + 1;
  const bool past_end =
      next >= kCommandsPerSegment ||
      state_.image[CommandOffset(segment, next)] == kEmptyCommand.code;
  state_.position.command = past_end ? 0 : static_cast<std::uint8_t>(next);
}

}  // namespace lumera
