#include "core/model/temp_file_names.h"

#include <cstdint>
#include <string>
#include <system_error>
#include <type_traits>

namespace lumera {
namespace {

using NativeString = std::filesystem::path::string_type;
using NativeChar = std::filesystem::path::value_type;

// At most this many units of the target's name (bytes, or UTF-16 units on
// Windows) go into the temporary name, so that it stays within the file
// system's limit of 255 whatever the length of a name that fits itself.
constexpr std::size_t kStemUnits = 200;
constexpr std::size_t kTagDigits = 8;

// The start of a file name, cut where no character is split.
NativeString NameStem(const NativeString& name) {
  if (name.size() <= kStemUnits) return name;
  std::size_t cut = kStemUnits;
#ifdef _WIN32
  // Never keep the first half of a surrogate pair alone.
  if (name[cut - 1] >= 0xD800 && name[cut - 1] <= 0xDBFF) --cut;
#else
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
    --cut;
  }
#endif
  return name.substr(0, cut);
}

// Eight lower-case hexadecimal digits.
NativeString Hex(std::uint32_t value) {
  NativeString digits(kTagDigits, NativeChar('0'));
  for (std::size_t i = kTagDigits; i-- > 0; value >>= 4) {
    const unsigned digit = value & 15u;
    digits[i] =
        static_cast<NativeChar>(digit < 10 ? '0' + digit : 'a' + digit - 10);
  }
  return digits;
}

// ".<stem>.<FNV-1a of the whole name>": how every temporary name of a file
// begins; the hash keeps apart two long names that share their stem.
NativeString TempNamePrefix(const NativeString& name) {
  std::uint32_t hash = 2166136261u;
  for (const NativeChar c : name) {
    hash =
        (hash ^ static_cast<std::make_unsigned_t<NativeChar>>(c)) * 16777619u;
  }
  NativeString prefix(1, NativeChar('.'));
  prefix += NameStem(name);
  prefix += NativeChar('.');
  prefix += Hex(hash);
  return prefix;
}

const NativeString& Suffix() {
  static const NativeString suffix = std::filesystem::path(".tmp").native();
  return suffix;
}

}  // namespace

std::filesystem::path TempFileName(const std::filesystem::path& target,
                                   unsigned random_tag) {
  NativeString name = TempNamePrefix(target.filename().native());
  name += Hex(random_tag);
  name += Suffix();
  std::filesystem::path temp = target;
  temp.replace_filename(name);
  return temp;
}

void RemoveLeftoverTempFiles(const std::filesystem::path& target) {
  const NativeString prefix = TempNamePrefix(target.filename().native());
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end;
       !error && it != end; it.increment(error)) {
    const NativeString entry = it->path().filename().native();
    if (entry.size() != prefix.size() + kTagDigits + Suffix().size() ||
        !entry.starts_with(prefix) || !entry.ends_with(Suffix())) {
      continue;
    }
    std::error_code ignored;
    if (it->symlink_status(ignored).type() ==
        std::filesystem::file_type::regular) {
      std::filesystem::remove(it->path(), ignored);
    }
  }
}

}  // namespace lumera
