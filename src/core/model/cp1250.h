// Code page 1250 (Central European), the encoding of every text file of the
// system, and UTF-8, the encoding of text in memory.
//
// All 256 bytes decode. The five bytes the code page leaves undefined (0x81,
// 0x83, 0x88, 0x90, 0x98) decode to the C1 control characters of the same
// value, as Windows does, so every byte survives a round trip. Encoding never
// substitutes: a character the code page cannot hold, or invalid UTF-8, makes
// the conversion fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumera {

// The Unicode character of one code page 1250 byte.
char32_t Cp1250ToUnicode(std::uint8_t byte);

// The code page 1250 byte of a character, or nullopt when it has none.
std::optional<std::uint8_t> UnicodeToCp1250(char32_t code_point);

// Decodes code page 1250 bytes into UTF-8; never fails.
std::string Cp1250ToUtf8(std::string_view cp1250);

// Encodes UTF-8 text into code page 1250, or nullopt when the text is not
// valid UTF-8 or holds a character the code page has no byte for.
std::optional<std::string> Utf8ToCp1250(std::string_view utf8);

// Byte offset of the first character that keeps Utf8ToCp1250 from
// succeeding (an invalid UTF-8 sequence or a character without a byte), or
// nullopt when the whole text converts.
std::optional<std::size_t> FindCp1250Problem(std::string_view utf8);

// One character decoded from UTF-8: its code point and its length in bytes.
// An invalid sequence (stray continuation byte, overlong form, surrogate,
// value above U+10FFFF, cut-off sequence) gives nullopt.
struct Utf8Char {
  char32_t code_point = 0;
  std::size_t length = 0;
};
std::optional<Utf8Char> DecodeUtf8Char(std::string_view text,
                                       std::size_t offset);

// Appends the UTF-8 form of a code point (expected to be a valid scalar).
void AppendUtf8(std::string& out, char32_t code_point);

}  // namespace lumera
