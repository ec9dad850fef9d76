#include "core/model/comment_table.h"

#include <algorithm>

#include "core/model/cp1250.h"

namespace lumera {

std::string NormalizeCommentText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::string out;
  out.reserve(std::min(text.size(), kMaxCommentChars * 4));
  std::size_t chars = 0;
  for (std::size_t offset = 0; offset < text.size() && chars < kMaxCommentChars;
       ++chars) {
    const std::optional<Utf8Char> ch = DecodeUtf8Char(text, offset);
    const std::size_t length = ch ? ch->length : 1;
    for (std::size_t i = 0; i < length; ++i) {
      const char c = text[offset + i];
      out.push_back(c == '\r' || c == '\n' ? ' ' : c);
    }
    offset += length;
  }
  return out;
}

std::optional<std::size_t> CommentTable::SlotIndex(int segment, int command) {
  if (segment < 0 || segment >= kSegmentCount || command < 0 ||
      command >= kCommandsPerSegment) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(segment) * kCommandsPerSegment +
         static_cast<std::size_t>(command);
}

const std::string* CommentTable::Find(int segment, int command) const {
  const std::optional<std::size_t> index = SlotIndex(segment, command);
  if (!index || !slots_[*index]) return nullptr;
  return &*slots_[*index];
}

std::string_view CommentTable::Text(int segment, int command) const {
  const std::string* text = Find(segment, command);
  return text ? std::string_view(*text) : std::string_view();
}

bool CommentTable::HasComment(int segment, int command) const {
  return !Text(segment, command).empty();
}

bool CommentTable::Set(int segment, int command, std::string_view text) {
  const std::optional<std::size_t> index = SlotIndex(segment, command);
  if (!index) return false;
  slots_[*index] = NormalizeCommentText(text);
  return true;
}

bool CommentTable::Clear(int segment, int command) {
  const std::optional<std::size_t> index = SlotIndex(segment, command);
  if (!index) return false;
  slots_[*index].reset();
  return true;
}

void CommentTable::ClearSegment(int segment) {
  for (int command = 0; command < kCommandsPerSegment; ++command) {
    Clear(segment, command);
  }
}

void CommentTable::ClearAll() {
  for (std::optional<std::string>& slot : slots_) slot.reset();
}

}  // namespace lumera
