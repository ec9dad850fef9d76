#include "core/model/command_hex.h"

#include <cstdio>

namespace lumera {
namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

std::string_view Field(std::string_view text, std::size_t position) {
  if (position >= text.size()) return {};
  return text.substr(position, 2);
}

}  // namespace

std::string FormatCommandHex(const Command& command) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X,%02X,%02X",
                static_cast<unsigned>(command.code),
                static_cast<unsigned>(command.param1),
                static_cast<unsigned>(command.param2));
  return text;
}

std::uint8_t ParseHexByte(std::string_view text) {
  char high = '0';
  char low = '0';
  if (text.size() == 1) {
    low = text[0];
  } else if (text.size() >= 2) {
    if (text[1] == 'h' || text[1] == 'H') {
      low = text[0];
    } else {
      high = text[0];
      low = text[1];
    }
  }
  return static_cast<std::uint8_t>(
      (16 * HexDigitValue(high) + HexDigitValue(low)) & 0xFF);
}

Command ParseCommandHex(std::string_view text) {
  return Command{ParseHexByte(Field(text, 0)), ParseHexByte(Field(text, 3)),
                 ParseHexByte(Field(text, 6))};
}

}  // namespace lumera
