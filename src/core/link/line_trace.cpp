#include "core/link/line_trace.h"

#include <algorithm>
#include <cstdio>

#include "core/link/operations.h"

namespace lumera {

void FormatTraceLine(const TraceRecord& record, TraceLine& line) {
  char* out = line.text.data();
  // One character stays free for a newline the sink may add.
  const std::size_t room = line.text.size() - 1;
  const long long us = record.since_start.count();
  const OperationDef* operation = FindOperation(record.request_code);
  char code[8];
  std::snprintf(code, sizeof code, "%u", record.request_code);
  const std::string_view name = operation ? operation->name : code;
  int n = std::snprintf(out, room, "%4lld.%06lld %c %-24.*s", us / 1000000,
                        us % 1000000, static_cast<char>(record.direction),
                        static_cast<int>(name.size()), name.data());
  std::size_t size =
      n > 0 ? std::min(static_cast<std::size_t>(n), room - 1) : 0;
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const std::uint8_t byte : record.bytes) {
    if (size + 4 > room) break;
    out[size++] = ' ';
    out[size++] = kHex[byte >> 4];
    out[size++] = kHex[byte & 0x0F];
  }
  if (record.dropped > 0 && size + 16 < room) {
    n = std::snprintf(out + size, room - size, " (+%zu)", record.dropped);
    if (n > 0) size = std::min(size + static_cast<std::size_t>(n), room - 1);
  }
  line.size = size;
}

}  // namespace lumera
