#include "core/editor/cell_input.h"

#include <limits>

#include "core/model/command_hex.h"
#include "core/model/comment_table.h"
#include "core/model/cp1250.h"

namespace lumera {
namespace {

constexpr std::size_t kMaxEntryFieldChars = 199;

struct Leading {
  bool negative = false;
  std::string_view digits;  // the run of decimal digits after the sign
};

// Leading blanks, an optional sign (only '+' unless `signed_allowed`), then
// the digits up to the first other character.
Leading SplitNumber(std::string_view text, bool signed_allowed) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  Leading leading;
  if (at < text.size() &&
      (text[at] == '+' || (signed_allowed && text[at] == '-'))) {
    leading.negative = text[at] == '-';
    ++at;
  }
  std::size_t end = at;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  leading.digits = text.substr(at, end - at);
  return leading;
}

std::int32_t SaturatedDecimal(std::string_view text, bool signed_allowed) {
  const Leading leading = SplitNumber(text, signed_allowed);
  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (const char c : leading.digits) {
    value = value * 10 + (c - '0');
    if (value > kLimit + 1) value = kLimit + 1;
  }
  if (leading.negative) value = -value;
  if (value > kLimit) value = kLimit;
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::uint8_t TypedParamByte(ParamKind kind, std::string_view text) {
  if (kind == ParamKind::kHex) return ParseHexByte(text);
  const Leading leading = SplitNumber(text, true);
  // The low 8 bits of the exact value, however long the number is.
  unsigned low = 0;
  for (const char c : leading.digits) {
    low = (low * 10 + static_cast<unsigned>(c - '0')) & 0xFFu;
  }
  if (leading.negative) low = (256u - low) & 0xFFu;
  return static_cast<std::uint8_t>(low);
}

std::int32_t ParseEntryField(ParamKind kind, std::string_view text) {
  text = text.substr(0, kMaxEntryFieldChars);
  switch (kind) {
    case ParamKind::kNone:
      return 0;
    case ParamKind::kDecimal:
      return SaturatedDecimal(text, false);
    case ParamKind::kHex:
      return ParseHexByte(text);
    case ParamKind::kSigned:
      return SaturatedDecimal(text, true);
  }
  return 0;
}

CommentCheck CheckCommentText(std::string_view text) {
  if (FindCp1250Problem(text)) return CommentCheck::kNotCp1250;
  std::size_t chars = 0;
  for (std::size_t offset = 0; offset < text.size(); ++chars) {
    const char c = text[offset];
    if (c == '\0' || c == '\r' || c == '\n') return CommentCheck::kLineBreak;
    offset += DecodeUtf8Char(text, offset)->length;
  }
  return chars > kMaxCommentChars ? CommentCheck::kTooLong
                                  : CommentCheck::kAccepted;
}

}  // namespace lumera
