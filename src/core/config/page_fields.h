// The values the number edits of the configuration and outputs pages read
// and write, named by kind and number so that one table can describe every
// edit.
#pragma once

#include <cstdint>

#include "core/config/config_page_values.h"
#include "core/config/controller_status.h"
#include "core/model/program_types.h"

namespace lumera {

// The access-point address is kept with the shell's settings; the pages
// reach its three fields through references.
struct AccessPointFields {
  std::uint8_t& high;    // 0..15
  std::uint8_t& middle;  // 0..15
  std::uint8_t& low;     // 0..240 (a settings file may bring up to 255)
};

// Everything the two pages show and edit.
struct ConfigPageData {
  ProgramImage& image;  // the record is its last 64 bytes
  ConfigPageValues& page;
  AccessPointFields access_point;
  const ControllerStatus& status;
};

enum class FieldKind {
  kNewControllerNumber,
  kAccessPointHigh,
  kAccessPointMiddle,
  kAccessPointLow,
  kStartPointSegment,  // number: start point 1..16; value 1..10
  kStartPointCommand,  // number: start point 1..16; value 1..255
  kTempoMultiplier,    // number: 1..8
  kReceiverX,          // number: receiver type 1..4
  kReceiverY,
  kOutputType,  // number: output 1..8
  kOutputLimit,
  kOutputState,
};

struct FieldRef {
  FieldKind kind = FieldKind::kNewControllerNumber;
  int number = 0;  // unused by the single fields
  friend bool operator==(const FieldRef&, const FieldRef&) = default;
};

// The value as the page shows it: start points 1-based, bytes 0..255.
int ReadField(const ConfigPageData& data, FieldRef field);
// Stores a value already passed through its edit's rule; start points are
// given 1-based. Outputs 5 to 8 go to the page's working values, never into
// the record.
void WriteField(ConfigPageData& data, FieldRef field, int value);

// Output n's row on the outputs page is filled: bit n-1 of the output mask
// is clear.
constexpr bool OutputRowFilled(const ControllerStatus& status, int output) {
  return ((status.output_mask >> (output - 1)) & 1) == 0;
}

}  // namespace lumera
