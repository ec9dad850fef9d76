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
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    for (int command = 0; command < kCommandsPerSegment; ++command) {
      if (FindCp1250Problem(table.Text(segment, command))) {
        return CommentSlot{segment, command};
      }
    }
  }
  return std::nullopt;
}

std::optional<std::string> FormatCommentFile(const CommentTable& table) {
  std::string out;
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    for (int command = 0; command < kCommandsPerSegment; ++command) {
      const std::string_view text = table.Text(segment, command);
      if (text.empty()) continue;
      const std::optional<std::string> encoded = Utf8ToCp1250(text);
      if (!encoded) return std::nullopt;
      char prefix[16];
      std::snprintf(prefix, sizeof prefix, "%02d:%03d ", segment + 1,
                    command + 1);
      out += prefix;
      out += *encoded;
      out += "\r\n";
    }
  }
  return out;
}

void CommentFileReader::Feed(std::string_view bytes) {
  for (const char c : bytes) {
    if (c == '\n') {
      EndLine();
    } else if (c != '\r' && line_.size() < kMaxCommentLineChars) {
      line_.push_back(c);
    }
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
