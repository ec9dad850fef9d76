#include "core/model/cp1250.h"

#include <algorithm>
#include <array>
#include <utility>

namespace lumera {
namespace {

// Bytes 0x80..0xFF. The undefined bytes hold the C1 control of equal value.
constexpr std::array<char16_t, 128> kHighHalf{
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

using ReverseEntry = std::pair<char16_t, std::uint8_t>;

constexpr std::array<ReverseEntry, 128> MakeReverse() {
  std::array<ReverseEntry, 128> reverse{};
  for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
    reverse[i] = {kHighHalf[i], static_cast<std::uint8_t>(0x80 + i)};
  }
  std::sort(reverse.begin(), reverse.end());
  return reverse;
}

constexpr std::array<ReverseEntry, 128> kReverse = MakeReverse();

constexpr bool ReverseIsOneToOne() {
  for (std::size_t i = 1; i < kReverse.size(); ++i) {
    if (kReverse[i - 1].first == kReverse[i].first) return false;
  }
  return kReverse.front().first >= 0x80;
}
static_assert(ReverseIsOneToOne());

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

char32_t Cp1250ToUnicode(std::uint8_t byte) {
  if (byte < 0x80) return byte;
  return kHighHalf[byte - 0x80];
}

std::optional<std::uint8_t> UnicodeToCp1250(char32_t code_point) {
  if (code_point < 0x80) return static_cast<std::uint8_t>(code_point);
  if (code_point > 0xFFFF) return std::nullopt;
  const char16_t key = static_cast<char16_t>(code_point);
  const auto it = std::lower_bound(
      kReverse.begin(), kReverse.end(), key,
      [](const ReverseEntry& entry, char16_t k) { return entry.first < k; });
  if (it == kReverse.end() || it->first != key) return std::nullopt;
  return it->second;
}

std::optional<Utf8Char> DecodeUtf8Char(std::string_view text,
                                       std::size_t offset) {
  if (offset >= text.size()) return std::nullopt;
  const auto lead = static_cast<unsigned char>(text[offset]);
  std::size_t length = 0;
  char32_t code_point = 0;
  char32_t smallest = 0;
  if (lead < 0x80) {
    return Utf8Char{lead, 1};
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    code_point = lead & 0x1F;
    smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    code_point = lead & 0x0F;
    smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    code_point = lead & 0x07;
    smallest = 0x10000;
  } else {
    return std::nullopt;  // continuation byte or 0xF8..0xFF as lead
  }
  if (text.size() - offset < length) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[offset + i]);
    if (!IsContinuation(c)) return std::nullopt;
    code_point = (code_point << 6) | (c & 0x3F);
  }
  if (code_point < smallest || code_point > 0x10FFFF ||
      (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    return std::nullopt;
  }
  return Utf8Char{code_point, length};
}

void AppendUtf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out.push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}

std::string Cp1250ToUtf8(std::string_view cp1250) {
  std::string out;
  out.reserve(cp1250.size() * 2);
  for (const char c : cp1250) {
    AppendUtf8(out, Cp1250ToUnicode(static_cast<std::uint8_t>(c)));
  }
  return out;
}

std::optional<std::string> Utf8ToCp1250(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t offset = 0; offset < utf8.size();) {
    const std::optional<Utf8Char> ch = DecodeUtf8Char(utf8, offset);
    if (!ch) return std::nullopt;
    const std::optional<std::uint8_t> byte = UnicodeToCp1250(ch->code_point);
    if (!byte) return std::nullopt;
    out.push_back(static_cast<char>(*byte));
    offset += ch->length;
  }
  return out;
}

std::optional<std::size_t> FindCp1250Problem(std::string_view utf8) {
  for (std::size_t offset = 0; offset < utf8.size();) {
    const std::optional<Utf8Char> ch = DecodeUtf8Char(utf8, offset);
    if (!ch || !UnicodeToCp1250(ch->code_point)) return offset;
    offset += ch->length;
  }
  return std::nullopt;
}

}  // namespace lumera
