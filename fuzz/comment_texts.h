// The comments of a table as a reader of the comment file sees them: the
// slots holding a non-empty text, in file order.
#pragma once

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/model/comment_table.h"

namespace lumera {

using CommentTexts = std::vector<std::tuple<int, int, std::string>>;

inline CommentTexts NonEmptyComments(const CommentTable& table) {
  CommentTexts texts;
  table.ForEach([&texts](int segment, int command, std::string_view text) {
    if (!text.empty()) texts.emplace_back(segment, command, text);
  });
  return texts;
}

}  // namespace lumera
