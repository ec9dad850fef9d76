// An independent test of a radio reader's claim that `stream` ends with a
// sound envelope holding `block`: some 10 02 in the stream opens a body in
// which every 0x10 is doubled, that unwraps to exactly `block`, and is
// closed by 10 03 and the sum of everything from the opening 0x10 on, as
// the last three bytes of the stream.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lumera {

inline bool EndsWithEnvelopeOf(std::span<const std::uint8_t> stream,
                               std::span<const std::uint8_t> block) {
  const std::size_t n = stream.size();
  if (n < 5 || stream[n - 3] != 0x10 || stream[n - 2] != 0x03) return false;
  for (std::size_t open = 0; open + 5 <= n; ++open) {
    if (stream[open] != 0x10 || stream[open + 1] != 0x02) continue;
    std::vector<std::uint8_t> body;
    bool sound = true;
    for (std::size_t i = open + 2; i < n - 3; ++i) {
      if (stream[i] != 0x10) {
        body.push_back(stream[i]);
      } else if (i + 1 < n - 3 && stream[i + 1] == 0x10) {
        body.push_back(0x10);
        ++i;
      } else {
        sound = false;
        break;
      }
    }
    if (!sound || body.size() != block.size()) continue;
    if (!std::equal(body.begin(), body.end(), block.begin())) continue;
    std::uint8_t sum = 0;
    for (std::size_t i = open; i < n - 1; ++i) sum += stream[i];
    if (sum == stream[n - 1]) return true;
  }
  return false;
}

}  // namespace lumera
