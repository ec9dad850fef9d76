// What a page refresh writes into its controls, in order, so that the
// window only copies it onto its widgets.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <utility>

namespace lumera {

struct ControlWrite {
  enum class Kind {
    kEditText,  // text into a number edit; `enabled` says if it takes input
    kCheckBox,  // value 1 checked, 0 cleared
    kText,      // text into a static text
    kPicture,   // value: the picture resource shown (114 or 115)
  };
  int control_id = 0;
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
  // The write of control `id`, or nullptr when the refresh leaves it alone.
  const ControlWrite* Find(int id) const {
    for (const ControlWrite& write : *this) {
      if (write.control_id == id) return &write;
    }
    return nullptr;
  }

 private:
  std::array<ControlWrite, kCapacity> items_{};
  std::size_t size_ = 0;
};

}  // namespace lumera
