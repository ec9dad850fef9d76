#include "core/model/comment_file.h"

#include <cstdio>

#include "core/model/cp1250.h"

namespace lumera {
namespace {

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The number at the start of a fixed field, as the C library's atoi reads it:
// leading white space and one sign accepted, stops at the first non-digit.
int LeadingNumber(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() &&
         (field[i] == ' ' || (field[i] >= '\t' && field[i] <= '\r'))) {
    ++i;
  }
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
    negative = field[i] == '-';
    ++i;
  }
  int value = 0;  // fields are at most three characters: no overflow
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    value = value * 10 + (field[i] - '0');
  }
  return negative ? -value : value;
}

std::string_view Columns(std::string_view line, std::size_t first,
                         std::size_t count) {
  if (first >= line.size()) return {};
  return line.substr(first, count);
}

}  // namespace

std::filesystem::path CommentFileName(
    const std::filesystem::path& program_file) {
  const std::string name = program_file.filename().string();
  std::size_t cut = name.size();
  int chars = 0;
  while (chars < 3 && cut > 0) {
    --cut;
    while (cut > 0 && IsContinuation(name[cut])) --cut;
    ++chars;
  }
  std::string comment_name =
      chars < 3 ? name + ".cmt" : name.substr(0, cut) + "cmt";
  if (comment_name == name) comment_name += ".cmt";
  std::filesystem::path result = program_file;
  result.replace_filename(comment_name);
  return result;
}

std::optional<CommentSlot> FindUnencodableComment(const CommentTable& table) {
  std::optional<CommentSlot> found;
  table.ForEach([&found](int segment, int command, std::string_view text) {
    if (!found && FindCp1250Problem(text))
      found = CommentSlot{segment, command};
  });
  return found;
}

std::optional<std::string> FormatCommentFile(const CommentTable& table) {
  std::string out;
  bool encodable = true;
  table.ForEach([&](int segment, int command, std::string_view text) {
    if (text.empty() || !encodable) return;
    const std::optional<std::string> encoded = Utf8ToCp1250(text);
    if (!encoded) {
      encodable = false;
      return;
    }
    char prefix[32];  // room for any two ints: no truncation to warn of
    std::snprintf(prefix, sizeof prefix, "%02d:%03d ", segment + 1,
                  command + 1);
    out += prefix;
    out += *encoded;
    out += "\r\n";
  });
  if (!encodable) return std::nullopt;
  return out;
}

void CommentFileReader::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string_view piece = bytes.substr(0, end);
    // The line up to its room, carriage returns dropped.
    while (!piece.empty() && line_.size() < kMaxCommentLineChars) {
      const std::size_t cr = piece.find('\r');
      const std::string_view run = piece.substr(0, cr);
      line_.append(run.substr(0, kMaxCommentLineChars - line_.size()));
      if (cr == std::string_view::npos) break;
      piece.remove_prefix(cr + 1);
    }
    if (end == std::string_view::npos) break;
    EndLine();
    bytes.remove_prefix(end + 1);
  }
}

void CommentFileReader::Finish() { EndLine(); }

void CommentFileReader::EndLine() {
  if (!line_.empty()) {
    const int segment = LeadingNumber(Columns(line_, 0, 2));
    const int command = LeadingNumber(Columns(line_, 3, 3));
    if (segment >= 1 && segment <= kSegmentCount && command >= 1 &&
        command <= kCommandsPerSegment) {
      table_.Set(segment - 1, command - 1,
                 Cp1250ToUtf8(Columns(line_, 7, std::string_view::npos)));
    }
  }
  line_.clear();
}

void ParseCommentFile(std::string_view bytes, CommentTable& table) {
  CommentFileReader reader(table);
  reader.Feed(bytes);
  reader.Finish();
}

}  // namespace lumera
