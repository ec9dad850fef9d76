// Where "Wejdź" came from, so that "Wróć" can go back: up to 19 places, each
// a segment index and a row.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace lumera {

inline constexpr int kReturnStackSize = 19;

struct ReturnEntry {
  int segment_index = 0;  // 0..9
  int row = 0;            // 0..254
  friend bool operator==(const ReturnEntry&, const ReturnEntry&) = default;
};

class ReturnStack {
 public:
  int depth() const { return depth_; }
  bool full() const { return depth_ == kReturnStackSize; }
  // False, changing nothing, when the stack is full.
  bool Push(const ReturnEntry& entry);
  std::optional<ReturnEntry> Pop();
  void Clear() { depth_ = 0; }

 private:
  std::array<ReturnEntry, kReturnStackSize> entries_{};
  int depth_ = 0;
};

// The return button's caption for a stack depth: "Wróć" at 0, else
// "Wróć (d)". The button is enabled exactly when the depth is above 0.
std::string ReturnButtonCaption(int depth);

}  // namespace lumera
