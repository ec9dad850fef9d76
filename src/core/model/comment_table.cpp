#include "core/model/comment_table.h"

#include <algorithm>

#include "core/model/cp1250.h"

namespace lumera {

std::string NormalizeCommentText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  // Where the cut after kMaxCommentChars characters falls; a byte that
  // starts no valid sequence counts as one character.
  std::size_t offset = 0;
  for (std::size_t chars = 0; offset < text.size() && chars < kMaxCommentChars;
       ++chars) {
    if (static_cast<unsigned char>(text[offset]) < 0x80) {
      ++offset;
      continue;
    }
    const std::optional<Utf8Char> ch = DecodeUtf8Char(text, offset);
    offset += ch ? ch->length : 1;
  }
  std::string out(text.substr(0, offset));
  std::replace(out.begin(), out.end(), '\r', ' ');
  std::replace(out.begin(), out.end(), '\n', ' ');
  return out;
}

std::optional<int> CommentTable::SlotIndex(int segment, int command) {
  if (segment < 0 || segment >= kSegmentCount || command < 0 ||
      command >= kCommandsPerSegment) {
    return std::nullopt;
  }
  return segment * kCommandsPerSegment + command;
}

const std::string* CommentTable::Find(int segment, int command) const {
  const std::optional<int> index = SlotIndex(segment, command);
  if (!index) return nullptr;
  const auto slot = slots_.find(*index);
  return slot == slots_.end() ? nullptr : &slot->second;
}

std::string_view CommentTable::Text(int segment, int command) const {
  const std::string* text = Find(segment, command);
  return text ? std::string_view(*text) : std::string_view();
}

bool CommentTable::HasComment(int segment, int command) const {
  return !Text(segment, command).empty();
}

bool CommentTable::Set(int segment, int command, std::string_view text) {
  const std::optional<int> index = SlotIndex(segment, command);
  if (!index) return false;
  slots_.insert_or_assign(*index, NormalizeCommentText(text));
  return true;
}

bool CommentTable::Clear(int segment, int command) {
  const std::optional<int> index = SlotIndex(segment, command);
  if (!index) return false;
  slots_.erase(*index);
  return true;
}

void CommentTable::ClearSegment(int segment) {
  if (!SlotIndex(segment, 0)) return;
  slots_.erase(slots_.lower_bound(segment * kCommandsPerSegment),
               slots_.lower_bound((segment + 1) * kCommandsPerSegment));
}

void CommentTable::ClearAll() { slots_.clear(); }

}  // namespace lumera
