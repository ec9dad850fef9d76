// What a page refresh writes into its controls, in order, so that the
// window only copies it onto its widgets.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <utility>

#include "core/config/page_fields.h"

namespace lumera {

// What the pages show besides their number edits.
enum class PageItem {
  kEdit,            // a number edit, named by the field it edits
  kIndexMode,       // the check box of the start points' index mode
  kClock,           // the clock's text
  kSwitchPosition,  // a picture of the switch, position 1..8 left to right
  kTempoText,       // "nr %d" under the switch's tempo positions
  kStartText,       // "nr %d" under its start-point positions
  kMemoryText,
  kSupplyText,
};

// Where a write goes; the window knows which control shows it.
struct WriteTarget {
  PageItem item = PageItem::kEdit;
  FieldRef field{};  // kEdit
  int position = 0;  // kSwitchPosition
  friend bool operator==(const WriteTarget&, const WriteTarget&) = default;
};

constexpr WriteTarget EditTarget(FieldRef field) {
  return {PageItem::kEdit, field, 0};
}
constexpr WriteTarget ItemTarget(PageItem item, int position = 0) {
  return {item, {}, position};
}

struct ControlWrite {
  enum class Kind {
    kEditText,  // text into a number edit; `enabled` says if it takes input
    kCheckBox,  // value 1 checked, 0 cleared
    kText,      // text into a static text
    kPicture,   // value: the picture resource shown (114 or 115)
  };
  WriteTarget target;
  Kind kind = Kind::kText;
  std::string text;
  int value = 0;
  bool enabled = true;
};

// A refresh's writes; the capacity covers the larger of the two pages.
class PageWrites {
 public:
  static constexpr std::size_t kCapacity = 64;

  // Writes beyond the capacity are a programming error and are dropped.
  void Add(ControlWrite write) {
    if (size_ < kCapacity) items_[size_++] = std::move(write);
  }
  std::size_t size() const { return size_; }
  const ControlWrite* begin() const { return items_.data(); }
  const ControlWrite* end() const { return items_.data() + size_; }
  const ControlWrite& operator[](std::size_t i) const { return items_[i]; }
  // The write to `target`, or nullptr when the refresh leaves it alone.
  const ControlWrite* Find(const WriteTarget& target) const {
    for (const ControlWrite& write : *this) {
      if (write.target == target) return &write;
    }
    return nullptr;
  }

 private:
  std::array<ControlWrite, kCapacity> items_{};
  std::size_t size_ = 0;
};

}  // namespace lumera
