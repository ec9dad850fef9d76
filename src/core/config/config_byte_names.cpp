#include "core/config/config_byte_names.h"

#include "core/config/controller_config.h"

namespace lumera {
namespace {

std::string Numbered(const char* what, int number, const char* field = "") {
  return std::string(what) + " " + std::to_string(number) + field;
}

}  // namespace

std::string ConfigByteName(std::size_t byte) {
  if (byte == kControllerNumberByte) return "Numer sterownika";
  if (byte == kMarkerByte) return "Znacznik konfiguracji";
  if (byte >= TempoMultiplierByte(1) &&
      byte <= TempoMultiplierByte(kTempoMultiplierCount)) {
    return Numbered("Mnożnik tempa", static_cast<int>(byte));
  }
  for (int type = 0; type < kReceiverTypeCount; ++type) {
    if (byte == ReceiverXByte(type))
      return Numbered("Odbiornik typ", type, " X");
    if (byte == ReceiverYByte(type))
      return Numbered("Odbiornik typ", type, " Y");
  }
  for (int n = 1; n <= kConfigOutputCount; ++n) {
    if (byte == OutputTypeByte(n))
      return Numbered("Wyjście", n, " typ odbiornika");
    if (byte == OutputLimitByte(n)) return Numbered("Wyjście", n, " limit");
    if (byte == OutputStateByte(n)) return Numbered("Wyjście", n, " stan");
  }
  for (int n = 1; n <= kStartPointCount; ++n) {
    if (byte == StartPointSegmentByte(n))
      return Numbered("Start Punkt", n, " segment");
    if (byte == StartPointCommandByte(n))
      return Numbered("Start Punkt", n, " komenda");
  }
  return Numbered("bajt", static_cast<int>(byte));
}

}  // namespace lumera
