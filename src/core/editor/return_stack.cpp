#include "core/editor/return_stack.h"

#include <cstdio>

namespace lumera {

bool ReturnStack::Push(const ReturnEntry& entry) {
  if (full()) return false;
  entries_[depth_++] = entry;
  return true;
}

std::optional<ReturnEntry> ReturnStack::Pop() {
  if (depth_ == 0) return std::nullopt;
  return entries_[--depth_];
}

std::string ReturnButtonCaption(int depth) {
  if (depth <= 0) return "Wróć";
  char text[32];
  std::snprintf(text, sizeof text, "Wróć (%d)", depth);
  return text;
}

}  // namespace lumera
