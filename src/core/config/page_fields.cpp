#include "core/config/page_fields.h"

#include "core/config/controller_config.h"

namespace lumera {

namespace {

std::uint8_t Byte(int value) { return static_cast<std::uint8_t>(value); }

OutputSetup OutputOf(const ConfigPageData& data, int output) {
  if (output <= kConfigOutputCount) {
    return ConstControllerConfig(data.image).Output(output);
  }
  return data.page
      .extra_outputs[static_cast<std::size_t>(output - kConfigOutputCount - 1)];
}

void SetOutputOf(ConfigPageData& data, int output, const OutputSetup& value) {
  if (output <= kConfigOutputCount) {
    ControllerConfig(data.image).SetOutput(output, value);
    return;
  }
  data.page.extra_outputs[static_cast<std::size_t>(output - kConfigOutputCount -
                                                   1)] = value;
}

}  // namespace

int ReadField(const ConfigPageData& data, FieldRef field) {
  const ConstControllerConfig config(data.image);
  const int n = field.number;
  switch (field.kind) {
    case FieldKind::kNewControllerNumber:
      return data.page.new_controller_number;
    case FieldKind::kAccessPointHigh:
      return data.access_point.high;
    case FieldKind::kAccessPointMiddle:
      return data.access_point.middle;
    case FieldKind::kAccessPointLow:
      return data.access_point.low;
    case FieldKind::kStartPointSegment:
      return config.GetStartPoint(n).segment_index + 1;
    case FieldKind::kStartPointCommand:
      return config.GetStartPoint(n).command_index + 1;
    case FieldKind::kTempoMultiplier:
      return config.TempoMultiplier(n);
    case FieldKind::kReceiverX:
      return config.ReceiverType(n).x;
    case FieldKind::kReceiverY:
      return config.ReceiverType(n).y;
    case FieldKind::kOutputType:
      return OutputOf(data, n).receiver_type;
    case FieldKind::kOutputLimit:
      return OutputOf(data, n).limit;
    case FieldKind::kOutputState:
      return OutputOf(data, n).state;
  }
  return 0;
}

void WriteField(ConfigPageData& data, FieldRef field, int value) {
  const ControllerConfig config(data.image);
  const int n = field.number;
  switch (field.kind) {
    case FieldKind::kNewControllerNumber:
      data.page.new_controller_number = value;
      return;
    case FieldKind::kAccessPointHigh:
      data.access_point.high = Byte(value);
      return;
    case FieldKind::kAccessPointMiddle:
      data.access_point.middle = Byte(value);
      return;
    case FieldKind::kAccessPointLow:
      data.access_point.low = Byte(value);
      return;
    case FieldKind::kStartPointSegment: {
      StartPoint point = config.GetStartPoint(n);
      point.segment_index = Byte(value - 1);
      config.SetStartPoint(n, point);
      return;
    }
    case FieldKind::kStartPointCommand: {
      StartPoint point = config.GetStartPoint(n);
      point.command_index = Byte(value - 1);
      config.SetStartPoint(n, point);
      return;
    }
    case FieldKind::kTempoMultiplier:
      config.SetTempoMultiplier(n, Byte(value));
      return;
    case FieldKind::kReceiverX: {
      ReceiverTypeParams params = config.ReceiverType(n);
      params.x = Byte(value);
      config.SetReceiverType(n, params);
      return;
    }
    case FieldKind::kReceiverY: {
      ReceiverTypeParams params = config.ReceiverType(n);
      params.y = Byte(value);
      config.SetReceiverType(n, params);
      return;
    }
    case FieldKind::kOutputType:
    case FieldKind::kOutputLimit:
    case FieldKind::kOutputState: {
      OutputSetup output = OutputOf(data, n);
      std::uint8_t& target =
          field.kind == FieldKind::kOutputType
              ? output.receiver_type
              : (field.kind == FieldKind::kOutputLimit ? output.limit
                                                       : output.state);
      target = Byte(value);
      SetOutputOf(data, n, output);
      return;
    }
  }
}

}  // namespace lumera
