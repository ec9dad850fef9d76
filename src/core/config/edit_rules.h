// How the number edits of the configuration and outputs pages turn their
// text into the value they hold. Out-of-range entries are corrected
// silently, each by its rule; the edit shows the corrected value at its
// next refresh.
#pragma once

namespace lumera {

enum class EditRule {
  kControllerNumber,  // below 1 becomes 1, above 254 becomes 254
  kNibble,            // the number AND 15
  kRadioLowByte,      // below 0 becomes 0, above 240 becomes 240
  kSegment,           // outside 1..10 becomes 1
  kCommand,           // outside 1..255 becomes 1
  kByteFromZero,      // below 0 becomes 0, then modulo 256
  kByte,              // modulo 256
  kState,             // 0 stays 0, anything else becomes 1
  kReceiverParam,     // outside 0..60 becomes 30
};

// The value to hold for `number` (read by ReadTypedNumber, a number of 2^31
// or more taken as negative: its 32-bit two's complement). Segment and
// command values are the page's 1-based numbers.
int ApplyEditRule(EditRule rule, int number);

}  // namespace lumera
