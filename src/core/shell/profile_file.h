// A profile ("INI") file: "[Section]" lines opening sections and "key=value"
// lines inside them. Reading and writing behave like the classic profile
// functions of Windows:
//  - section and key names compare without regard to case (ASCII letters);
//  - names and values are trimmed of spaces and tabs, and a value wrapped
//    in a matching pair of double or single quotes loses the quotes;
//  - the first matching section and the first matching key win;
//  - writing replaces a key's value in place, keeping its line, adds a
//    missing key after the last non-blank line of its section and a missing
//    section at the end of the file; every other byte stays as it was;
//  - lines starting with ';' are comments.
// The file is code page 1250 with CR LF line ends; text in memory is UTF-8.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumera {

// The integer reading of the profile functions: leading spaces and tabs are
// skipped, then an optional sign, then a "0x"/"0X" hexadecimal prefix or
// decimal digits; reading stops at the first character that is not a
// digit ("102abc" reads 102) and no digit at all reads 0. A negative result
// reads as 0, and values beyond the int range stop at INT_MAX.
int ParseProfileInt(std::string_view text);

class ProfileFile {
 public:
  // Empty document.
  ProfileFile() = default;
  // Document of the given file bytes (code page 1250).
  static ProfileFile FromBytes(std::string_view bytes);
  // Reads the file; nullopt when it does not exist or cannot be read.
  static std::optional<ProfileFile> Load(const std::filesystem::path& path);

  // The value of a key as UTF-8, or nullopt when the section or key is
  // missing.
  std::optional<std::string> Find(std::string_view section,
                                  std::string_view key) const;

  // The value, or `default_value` when missing, cut to `buffer_size` - 1
  // characters of the file's code page, as a reader with a fixed buffer
  // would see it.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value,
                         std::size_t buffer_size) const;

  // The value read as an integer; a missing key or an empty value gives
  // `default_value`.
  int ReadInt(std::string_view section, std::string_view key,
              int default_value) const;

  // Sets a key. False, leaving the document unchanged, when a text has a
  // character the code page cannot hold, holds a line break, or the key
  // holds '=' or the section ']'.
  bool Write(std::string_view section, std::string_view key,
             std::string_view value);

  // The file bytes.
  std::string Bytes() const;

  // Replaces the file as a whole, so a failed write leaves the old file.
  bool Save(const std::filesystem::path& path) const;

 private:
  struct Line {
    std::string text;  // code page 1250, without its line end
    std::string end;   // "\r\n", "\n", "\r" or "" for the last line
  };
  struct KeyLine {
    std::size_t index;
    std::string_view key;
    std::string_view value;
  };

  // Index of the first "[section]" line, or nullopt.
  std::optional<std::size_t> FindSection(std::string_view section) const;
  // Index one past the last line of the section opened at `header`.
  std::size_t SectionEnd(std::size_t header) const;
  std::optional<KeyLine> FindKey(std::string_view section,
                                 std::string_view key) const;
  void EndLastLine();

  std::vector<Line> lines_;
};

// One-shot helpers in the manner of the profile functions: each reads the
// file anew; a missing file reads as empty.
std::string GetProfileString(const std::filesystem::path& path,
                             std::string_view section, std::string_view key,
                             std::string_view default_value,
                             std::size_t buffer_size);
int GetProfileInt(const std::filesystem::path& path, std::string_view section,
                  std::string_view key, int default_value);
// Creates the file and the section when missing.
bool WriteProfileString(const std::filesystem::path& path,
                        std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace lumera
