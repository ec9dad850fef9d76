// One optional comment text per command slot (10 segments x 255 commands).
// Texts are UTF-8 in memory; the comment file holds them in code page 1250.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/program_types.h"

namespace lumera {

// A comment holds at most this many characters (Unicode code points, which
// are single bytes in code page 1250).
inline constexpr std::size_t kMaxCommentChars = 199;

// The text a slot stores for `text`: a comment is one zero-terminated line,
// so the text ends at its first NUL, carriage returns and line feeds become
// spaces (a line break would split the comment file's line and create a
// foreign slot on reading), and it is cut after kMaxCommentChars characters.
// A byte that is not part of a valid UTF-8 sequence counts as one character;
// the cut never splits a valid sequence.
std::string NormalizeCommentText(std::string_view text);

class CommentTable {
 public:
  // The slot's text, or nullptr when the slot is absent or out of range.
  const std::string* Find(int segment, int command) const;
  // The slot's text; empty when absent or out of range.
  std::string_view Text(int segment, int command) const;
  // True when the slot holds a non-empty text: only such a slot is a comment
  // to readers (an empty text and an absent slot mean the same).
  bool HasComment(int segment, int command) const;

  // Stores NormalizeCommentText(text), replacing any text; an empty text is
  // kept as empty, not absent. False (nothing changed) for a slot out of range.
  bool Set(int segment, int command, std::string_view text);
  // Marks the slot absent. False for a slot out of range.
  bool Clear(int segment, int command);
  // Marks all 255 slots of a segment absent (segment out of range: nothing).
  void ClearSegment(int segment);
  void ClearAll();

  // Calls visit(segment, command, text) for every slot that holds a text
  // (an empty one too), in the order of segment, then command.
  template <typename Visit>
  void ForEach(Visit&& visit) const {
    for (const auto& [index, text] : slots_) {
      visit(index / kCommandsPerSegment, index % kCommandsPerSegment,
            std::string_view(text));
    }
  }

  friend bool operator==(const CommentTable&, const CommentTable&) = default;

 private:
  static std::optional<int> SlotIndex(int segment, int command);

  // Only the slots that hold a text, by slot index: a program has a few
  // comments among its 2550 slots, and saving, loading and comparing walk
  // only those.
  std::map<int, std::string> slots_;
};

}  // namespace lumera
