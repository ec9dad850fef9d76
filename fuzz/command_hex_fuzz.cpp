// Hexadecimal texts of any shape: only the first two characters of a byte
// text count, a command text reads its fixed columns, and a command's own
// HEX text always reads back as that command.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/model/command_hex.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

namespace lumera {
namespace {

std::string_view Column(std::string_view text, std::size_t first) {
  return first < text.size() ? text.substr(first, 2) : std::string_view();
}

}  // namespace

void FuzzInput(std::string_view text) {
  const std::uint8_t byte = ParseHexByte(text);
  LUMERA_FUZZ_CHECK(byte == ParseHexByte(text.substr(0, 2)));
  // What is shown reads back as the byte it shows, with or without "h".
  const std::string shown = FormatCommandHex(Command{byte, byte, byte});
  LUMERA_FUZZ_CHECK(ParseHexByte(shown.substr(0, 2)) == byte);
  LUMERA_FUZZ_CHECK(ParseHexByte(shown.substr(0, 2) + "h") == byte);

  const Command command = ParseCommandHex(text);
  LUMERA_FUZZ_CHECK(command.code == ParseHexByte(Column(text, 0)));
  LUMERA_FUZZ_CHECK(command.param1 == ParseHexByte(Column(text, 3)));
  LUMERA_FUZZ_CHECK(command.param2 == ParseHexByte(Column(text, 6)));

  const std::string hex = FormatCommandHex(command);
  LUMERA_FUZZ_CHECK(hex.size() == 8);
  LUMERA_FUZZ_CHECK(ParseCommandHex(hex) == command);

  Command raw;
  const std::size_t n = std::min<std::size_t>(text.size(), 3);
  for (std::size_t i = 0; i < n; ++i) {
    const auto b = static_cast<std::uint8_t>(text[i]);
    (i == 0 ? raw.code : i == 1 ? raw.param1 : raw.param2) = b;
  }
  LUMERA_FUZZ_CHECK(ParseCommandHex(FormatCommandHex(raw)) == raw);
}

}  // namespace lumera
