#include "core/config/edit_rules.h"

#include <cstdint>

#include "core/model/program_types.h"

namespace lumera {

int ApplyEditRule(EditRule rule, int number) {
  const auto low_byte = [](int value) {
    return static_cast<int>(static_cast<std::uint8_t>(value));
  };
  switch (rule) {
    case EditRule::kControllerNumber:
      return number < 1 ? 1 : (number > 254 ? 254 : number);
    case EditRule::kNibble:
      return static_cast<int>(static_cast<std::uint32_t>(number) & 0x0F);
    case EditRule::kRadioLowByte:
      return number < 0 ? 0 : (number > 240 ? 240 : number);
    case EditRule::kSegment:
      return number < 1 || number > kSegmentCount ? 1 : number;
    case EditRule::kCommand:
      return number < 1 || number > kCommandsPerSegment ? 1 : number;
    case EditRule::kByteFromZero:
      return number < 0 ? 0 : low_byte(number);
    case EditRule::kByte:
      return low_byte(number);
    case EditRule::kState:
      return number == 0 ? 0 : 1;
    case EditRule::kReceiverParam:
      return number < 0 || number > 60 ? 30 : number;
  }
  return 0;
}

}  // namespace lumera
