// Turning what the user typed into parameter bytes and comments: the value
// cells of the grid, the two parameter fields beside the chooser, and the
// comment cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/model/command_catalogue.h"

namespace lumera {

// The byte of a text typed into a grid value cell: hexadecimal by
// ParseHexByte for kind kHex, otherwise a decimal integer with an optional
// sign, kept to its low 8 bits without range checks ("300" gives 44, "-1"
// 255). Text that does not start with a number gives 0.
std::uint8_t TypedParamByte(ParamKind kind, std::string_view text);

// A parameter field's text parsed by the parameter's kind: kDecimal unsigned
// decimal, kHex by ParseHexByte, kSigned signed decimal; text that is not a
// number gives 0, as does kNone. Only the first 199 characters count;
// values beyond the 32-bit range stop at its ends.
std::int32_t ParseEntryField(ParamKind kind, std::string_view text);

// Why a comment cell's text is refused, if it is.
enum class CommentCheck {
  kAccepted,
  kTooLong,    // more than kMaxCommentChars characters
  kNotCp1250,  // invalid UTF-8 or a character code page 1250 cannot hold
  kLineBreak,  // a comment is one line: NUL, CR and LF are refused
};
CommentCheck CheckCommentText(std::string_view text);

}  // namespace lumera
