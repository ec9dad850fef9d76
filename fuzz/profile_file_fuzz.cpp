// Settings file bytes of any shape: the document keeps every byte, reads the
// settings keys without fault, and a key written is read back and survives a
// save and a new read, while the other settings keys keep their values.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/shell/profile_file.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

namespace lumera {
namespace {

constexpr std::array<std::string_view, 8> kKeys = {
    "Port",  "Device",  "Program", "File",
    "Radio", "Entries", "Address", "Access"};
constexpr std::string_view kSection = "Config";

bool IsPlainName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && !(c >= '0' && c <= '9')) return false;
  }
  return true;
}

}  // namespace

void FuzzInput(std::string_view bytes) {
  ProfileFile file = ProfileFile::FromBytes(bytes);
  LUMERA_FUZZ_CHECK(file.Bytes() == bytes);

  std::array<std::optional<std::string>, kKeys.size()> before;
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    before[i] = file.Find(kSection, kKeys[i]);
    const int value = file.ReadInt(kSection, kKeys[i], -7);
    LUMERA_FUZZ_CHECK(before[i].has_value() || value == -7);
    LUMERA_FUZZ_CHECK(!before[i] || before[i]->empty() || value >= 0);
    const std::string text = file.ReadString(kSection, kKeys[i], "x", 100);
    LUMERA_FUZZ_CHECK(text.size() <= 3 * 99);  // 99 characters as UTF-8
  }

  // One key, chosen by the input, gets a plain number.
  const std::size_t chosen =
      bytes.empty() ? 0 : static_cast<unsigned char>(bytes.back()) % 8;
  const std::string number = std::to_string(bytes.size());
  LUMERA_FUZZ_CHECK(file.Write(kSection, kKeys[chosen], number));
  LUMERA_FUZZ_CHECK(file.Find(kSection, kKeys[chosen]) == number);

  const ProfileFile reread = ProfileFile::FromBytes(file.Bytes());
  LUMERA_FUZZ_CHECK(reread.Bytes() == file.Bytes());
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    const std::optional<std::string> after = reread.Find(kSection, kKeys[i]);
    if (i == chosen) {
      LUMERA_FUZZ_CHECK(after == number);
    } else {
      LUMERA_FUZZ_CHECK(after == before[i]);
    }
  }

  // A section and key taken from the input itself: either refused, leaving
  // the document as it was, or read back as written.
  const std::size_t half = bytes.size() / 2;
  const std::string_view section = bytes.substr(0, half / 2);
  const std::string_view key = bytes.substr(half / 2, half - half / 2);
  const std::string before_bytes = reread.Bytes();
  ProfileFile other = reread;
  if (other.Write(section, key, number)) {
    const ProfileFile again = ProfileFile::FromBytes(other.Bytes());
    // Names like the system's own are found again where they were put.
    if (IsPlainName(section) && IsPlainName(key)) {
      LUMERA_FUZZ_CHECK(again.Find(section, key) == number);
    }
  } else {
    LUMERA_FUZZ_CHECK(other.Bytes() == before_bytes);
  }
}

}  // namespace lumera
