// Conversions between UTF-8 and code page 1250 on any bytes: every code
// page byte survives a round trip, encoding succeeds exactly when no problem
// is found and then round-trips, and a normalised comment stays within its
// limits.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/comment_table.h"
#include "core/model/cp1250.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

namespace lumera {
namespace {

// Characters of a text, or nullopt when it is not valid UTF-8.
std::optional<std::size_t> ValidCharCount(std::string_view utf8) {
  std::size_t chars = 0;
  for (std::size_t offset = 0; offset < utf8.size(); ++chars) {
    const std::optional<Utf8Char> ch = DecodeUtf8Char(utf8, offset);
    if (!ch) return std::nullopt;
    offset += ch->length;
  }
  return chars;
}

}  // namespace

void FuzzInput(std::string_view bytes) {
  // As code page 1250 text: always valid UTF-8, one character per byte, and
  // back to the same bytes.
  const std::string decoded = Cp1250ToUtf8(bytes);
  LUMERA_FUZZ_CHECK(ValidCharCount(decoded) == bytes.size());
  LUMERA_FUZZ_CHECK(Utf8ToCp1250(decoded) == std::string(bytes));
  LUMERA_FUZZ_CHECK(!FindCp1250Problem(decoded).has_value());

  // As UTF-8 text.
  const std::optional<std::string> encoded = Utf8ToCp1250(bytes);
  const std::optional<std::size_t> problem = FindCp1250Problem(bytes);
  LUMERA_FUZZ_CHECK(encoded.has_value() != problem.has_value());
  if (encoded) {
    LUMERA_FUZZ_CHECK(Cp1250ToUtf8(*encoded) == bytes);
  } else {
    LUMERA_FUZZ_CHECK(*problem < bytes.size());
    // Everything before the problem converts.
    LUMERA_FUZZ_CHECK(Utf8ToCp1250(bytes.substr(0, *problem)).has_value());
  }

  // As a comment typed by the user.
  const std::string comment = NormalizeCommentText(bytes);
  LUMERA_FUZZ_CHECK(comment.size() <= bytes.size());
  LUMERA_FUZZ_CHECK(comment.find_first_of(std::string_view("\r\n\0", 3)) ==
                    std::string::npos);
  LUMERA_FUZZ_CHECK(NormalizeCommentText(comment) == comment);
  if (const auto chars = ValidCharCount(comment)) {
    LUMERA_FUZZ_CHECK(*chars <= kMaxCommentChars);
  }
}

}  // namespace lumera
