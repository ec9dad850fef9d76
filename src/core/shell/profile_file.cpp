#include "core/shell/profile_file.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <iterator>

#include "core/model/atomic_file.h"
#include "core/model/cp1250.h"

namespace lumera {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineEnd = "\r\n";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

// The name of a "[name]" line, or nullopt for any other line. A missing
// closing bracket takes the rest of the line.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view text = Trim(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  std::string_view name = text.substr(1);
  const std::size_t close = name.find(']');
  if (close != std::string_view::npos) name = name.substr(0, close);
  return Trim(name);
}

bool IsComment(std::string_view line) {
  const std::string_view text = Trim(line);
  return !text.empty() && text.front() == ';';
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

int ParseProfileInt(std::string_view text) {
  std::size_t pos = text.find_first_not_of(kBlanks);
  if (pos == std::string_view::npos) return 0;
  bool negative = false;
  if (text[pos] == '+' || text[pos] == '-') {
    negative = text[pos] == '-';
    ++pos;
  }
  unsigned base = 10;
  if (pos + 1 < text.size() && text[pos] == '0' &&
      (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    base = 16;
    pos += 2;
  }
  long long value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && LowerAscii(c) >= 'a' && LowerAscii(c) <= 'f') {
      digit = static_cast<unsigned>(LowerAscii(c) - 'a' + 10);
    } else {
      break;
    }
    value = std::min<long long>(value * base + digit, INT_MAX);
  }
  if (negative) return 0;
  return static_cast<int>(value);
}

ProfileFile ProfileFile::FromBytes(std::string_view bytes) {
  ProfileFile file;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", pos);
    Line line;
    if (end == std::string_view::npos) {
      line.text = std::string(bytes.substr(pos));
      pos = bytes.size();
    } else {
      line.text = std::string(bytes.substr(pos, end - pos));
      const bool crlf = bytes[end] == '\r' && end + 1 < bytes.size() &&
                        bytes[end + 1] == '\n';
      line.end = std::string(bytes.substr(end, crlf ? 2 : 1));
      pos = end + line.end.size();
    }
    file.lines_.push_back(std::move(line));
  }
  return file;
}

std::optional<ProfileFile> ProfileFile::Load(
    const std::filesystem::path& path) {
  // A folder opens as a stream on some systems and then fails to read.
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string bytes((std::istreambuf_iterator<char>(in)),
                          std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return FromBytes(bytes);
}

std::optional<std::size_t> ProfileFile::FindSection(
    std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i].text);
    if (name && SameName(*name, section)) return i;
  }
  return std::nullopt;
}

std::size_t ProfileFile::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && !SectionName(lines_[i].text)) ++i;
  return i;
}

std::optional<ProfileFile::KeyLine> ProfileFile::FindKey(
    std::string_view section, std::string_view key) const {
  const auto header = FindSection(section);
  if (!header) return std::nullopt;
  const std::size_t end = SectionEnd(*header);
  for (std::size_t i = *header + 1; i < end; ++i) {
    const std::string_view text = lines_[i].text;
    if (IsComment(text)) continue;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view name = Trim(text.substr(0, equals));
    if (!name.empty() && SameName(name, key)) {
      return KeyLine{i, name, Unquote(Trim(text.substr(equals + 1)))};
    }
  }
  return std::nullopt;
}

std::optional<std::string> ProfileFile::Find(std::string_view section,
                                             std::string_view key) const {
  const auto section_bytes = Utf8ToCp1250(section);
  const auto key_bytes = Utf8ToCp1250(key);
  if (!section_bytes || !key_bytes) return std::nullopt;
  const auto found = FindKey(*section_bytes, *key_bytes);
  if (!found) return std::nullopt;
  return Cp1250ToUtf8(found->value);
}

std::string ProfileFile::ReadString(std::string_view section,
                                    std::string_view key,
                                    std::string_view default_value,
                                    std::size_t buffer_size) const {
  if (buffer_size == 0) return {};
  std::string bytes;
  const auto section_bytes = Utf8ToCp1250(section);
  const auto key_bytes = Utf8ToCp1250(key);
  const auto found = section_bytes && key_bytes
                         ? FindKey(*section_bytes, *key_bytes)
                         : std::nullopt;
  if (found) {
    bytes = std::string(found->value);
  } else {
    // The default is given in memory form; cut it like a value of the file.
    bytes = Utf8ToCp1250(default_value).value_or(std::string(default_value));
  }
  if (bytes.size() > buffer_size - 1) bytes.resize(buffer_size - 1);
  return Cp1250ToUtf8(bytes);
}

int ProfileFile::ReadInt(std::string_view section, std::string_view key,
                         int default_value) const {
  const auto value = Find(section, key);
  if (!value || value->empty()) return default_value;
  return ParseProfileInt(*value);
}

void ProfileFile::EndLastLine() {
  if (!lines_.empty() && lines_.back().end.empty()) {
    lines_.back().end = std::string(kLineEnd);
  }
}

bool ProfileFile::Write(std::string_view section, std::string_view key,
                        std::string_view value) {
  const auto section_bytes = Utf8ToCp1250(section);
  const auto key_bytes = Utf8ToCp1250(key);
  const auto value_bytes = Utf8ToCp1250(value);
  if (!section_bytes || !key_bytes || !value_bytes) return false;
  const std::string_view name = Trim(*key_bytes);
  if (name.empty() || HasLineBreak(*section_bytes) || HasLineBreak(name) ||
      HasLineBreak(*value_bytes) || name.find('=') != std::string_view::npos ||
      section_bytes->find(']') != std::string::npos) {
    return false;
  }

  if (const auto found = FindKey(*section_bytes, name)) {
    Line& line = lines_[found->index];
    line.text = std::string(found->key) + "=" + *value_bytes;
    return true;
  }
  Line new_line{std::string(name) + "=" + *value_bytes, std::string(kLineEnd)};
  if (const auto header = FindSection(*section_bytes)) {
    // After the last non-blank line, so blank lines that part sections stay
    // where they are.
    std::size_t after = SectionEnd(*header);
    while (after > *header + 1 && Trim(lines_[after - 1].text).empty()) {
      --after;
    }
    if (lines_[after - 1].end.empty()) {
      lines_[after - 1].end = std::string(kLineEnd);
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after),
                  std::move(new_line));
    return true;
  }
  EndLastLine();
  lines_.push_back({"[" + *section_bytes + "]", std::string(kLineEnd)});
  lines_.push_back(std::move(new_line));
  return true;
}

std::string ProfileFile::Bytes() const {
  std::string bytes;
  for (const Line& line : lines_) {
    bytes += line.text;
    bytes += line.end;
  }
  return bytes;
}

bool ProfileFile::Save(const std::filesystem::path& path) const {
  return WriteFileAtomically(path, std::string_view(Bytes())) ==
         AtomicWriteResult::kOk;
}

std::string GetProfileString(const std::filesystem::path& path,
                             std::string_view section, std::string_view key,
                             std::string_view default_value,
                             std::size_t buffer_size) {
  return ProfileFile::Load(path)
      .value_or(ProfileFile())
      .ReadString(section, key, default_value, buffer_size);
}

int GetProfileInt(const std::filesystem::path& path, std::string_view section,
                  std::string_view key, int default_value) {
  return ProfileFile::Load(path)
      .value_or(ProfileFile())
      .ReadInt(section, key, default_value);
}

bool WriteProfileString(const std::filesystem::path& path,
                        std::string_view section, std::string_view key,
                        std::string_view value) {
  // A file that exists but cannot be read is not replaced by one holding
  // only this key.
  std::error_code error;
  const bool exists = std::filesystem::exists(path, error);
  auto file = ProfileFile::Load(path);
  if (!file) {
    if (exists) return false;
    file.emplace();
  }
  return file->Write(section, key, value) && file->Save(path);
}

}  // namespace lumera
