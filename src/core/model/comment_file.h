// The comment file beside a program file: one line "%02d:%03d %s\r\n" per
// command slot holding a non-empty comment, in code page 1250.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/comment_table.h"

namespace lumera {

// Longest comment file line the reader keeps (its seven leading characters
// included); the rest of a longer line is dropped.
inline constexpr std::size_t kMaxCommentLineChars = 299;

// The program file's name with the last three characters of its file name
// replaced by "cmt" (Prog_001.prg -> Prog_001.cmt, X.PRG -> X.cmt). A file
// name of fewer than three characters gets ".cmt" appended, and so does a
// name that the rule would leave unchanged (notes.cmt -> notes.cmt.cmt), so
// that the comment file never overwrites its own program file. Characters
// are counted as UTF-8 characters; the folder part is never touched.
std::filesystem::path CommentFileName(
    const std::filesystem::path& program_file);

// Segment and command index (0-based) of one comment slot.
struct CommentSlot {
  int segment = 0;
  int command = 0;
  friend bool operator==(const CommentSlot&, const CommentSlot&) = default;
};

// The first slot (in file order) whose comment cannot be written in code
// page 1250, or nullopt when every comment can.
std::optional<CommentSlot> FindUnencodableComment(const CommentTable& table);

// The comment file's bytes for a table, or nullopt when a comment cannot be
// written in code page 1250 (see FindUnencodableComment): it is refused
// rather than written changed.
std::optional<std::string> FormatCommentFile(const CommentTable& table);

// Reads comment file bytes given in pieces of any size. Lines end at a line
// feed or at Finish(); carriage returns are dropped; every line that is not
// empty and names segment 1..10 and command 1..255 in its fixed columns sets
// that slot's comment, a later line replacing an earlier one.
class CommentFileReader {
 public:
  explicit CommentFileReader(CommentTable& table) : table_(table) {}
  void Feed(std::string_view bytes);
  void Finish();

 private:
  void EndLine();

  CommentTable& table_;
  std::string line_;  // never longer than kMaxCommentLineChars
};

// Feeds all of `bytes` to a CommentFileReader and finishes it.
void ParseCommentFile(std::string_view bytes, CommentTable& table);

}  // namespace lumera
