// Comment file bytes of any shape: the reader never keeps more than a
// comment may hold, reads the same however the bytes are split, and what it
// read is written and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "comment_texts.h"
#include "core/model/comment_file.h"
#include "core/model/comment_table.h"
#include "core/model/cp1250.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

namespace lumera {
namespace {

std::size_t CharCount(std::string_view utf8) {
  std::size_t chars = 0;
  for (std::size_t offset = 0; offset < utf8.size(); ++chars) {
    const std::optional<Utf8Char> ch = DecodeUtf8Char(utf8, offset);
    LUMERA_FUZZ_CHECK(ch.has_value());
    offset += ch->length;
  }
  return chars;
}

}  // namespace

void FuzzInput(std::string_view bytes) {
  CommentTable whole;
  ParseCommentFile(bytes, whole);

  whole.ForEach([](int, int, std::string_view text) {
    LUMERA_FUZZ_CHECK(CharCount(text) <= kMaxCommentChars);
    LUMERA_FUZZ_CHECK(text.find_first_of(std::string_view("\r\n\0", 3)) ==
                      std::string_view::npos);
  });

  // Fed in two pieces split anywhere, the reader gives the same table.
  CommentTable pieces;
  CommentFileReader reader(pieces);
  const std::size_t split =
      bytes.empty() ? 0
                    : static_cast<unsigned char>(bytes.front()) % bytes.size();
  reader.Feed(bytes.substr(0, split));
  reader.Feed(bytes.substr(split));
  reader.Finish();
  LUMERA_FUZZ_CHECK(pieces == whole);

  // Every text read from a file can be written back, and reads back equal.
  const std::optional<std::string> written = FormatCommentFile(whole);
  LUMERA_FUZZ_CHECK(written.has_value());
  CommentTable again;
  ParseCommentFile(*written, again);
  LUMERA_FUZZ_CHECK(NonEmptyComments(whole) == NonEmptyComments(again));
  LUMERA_FUZZ_CHECK(FormatCommentFile(again) == written);
}

}  // namespace lumera
