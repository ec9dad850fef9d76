#include "core/site/journal/journal_json.h"

#include <cstdint>
#include <cstdio>

namespace lumera {
namespace {

// Digits enough for any number the journal writes; more is not a number of
// ours.
constexpr std::size_t kMaxDigits = 9;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<std::map<std::string, JsonValue>> Object() {
    std::map<std::string, JsonValue> fields;
    if (!Take('{')) return std::nullopt;
    if (Take('}')) return End(std::move(fields));
    do {
      std::optional<std::string> key = String();
      if (!key || !Take(':')) return std::nullopt;
      std::optional<JsonValue> value = Value();
      if (!value || !fields.emplace(std::move(*key), std::move(*value)).second)
        return std::nullopt;
    } while (Take(','));
    if (!Take('}')) return std::nullopt;
    return End(std::move(fields));
  }

 private:
  std::optional<std::map<std::string, JsonValue>> End(
      std::map<std::string, JsonValue> fields) {
    Skip();
    if (i_ != text_.size()) return std::nullopt;
    return fields;
  }

  void Skip() {
    while (i_ < text_.size() && (text_[i_] == ' ' || text_[i_] == '\t' ||
                                 text_[i_] == '\r' || text_[i_] == '\n')) {
      ++i_;
    }
  }

  bool Take(char c) {
    Skip();
    if (i_ >= text_.size() || text_[i_] != c) return false;
    ++i_;
    return true;
  }

  std::optional<JsonValue> Value() {
    Skip();
    if (i_ >= text_.size()) return std::nullopt;
    JsonValue value;
    if (text_[i_] == '"') {
      std::optional<std::string> s = String();
      if (!s) return std::nullopt;
      value.text = std::move(*s);
    } else if (text_[i_] >= '0' && text_[i_] <= '9') {
      value.kind = JsonValue::Kind::kNumber;
      while (i_ < text_.size() && text_[i_] >= '0' && text_[i_] <= '9') {
        value.text += text_[i_++];
      }
      if (value.text.size() > kMaxDigits ||
          (value.text.size() > 1 && value.text[0] == '0')) {
        return std::nullopt;
      }
    } else if (text_[i_] == '{') {
      value.kind = JsonValue::Kind::kObject;
      ++i_;
      if (Take('}')) return value;
      do {
        std::optional<std::string> key = String();
        if (!key || !Take(':')) return std::nullopt;
        std::optional<std::string> member = String();
        if (!member) return std::nullopt;
        for (const auto& [seen, unused] : value.members) {
          if (seen == *key) return std::nullopt;
        }
        value.members.emplace_back(std::move(*key), std::move(*member));
      } while (Take(','));
      if (!Take('}')) return std::nullopt;
    } else {
      return std::nullopt;
    }
    return value;
  }

  // Four hexadecimal digits after "\u".
  std::optional<std::uint32_t> Hex4() {
    if (text_.size() - i_ < 4) return std::nullopt;
    std::uint32_t value = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = text_[i_++];
      value <<= 4;
      if (c >= '0' && c <= '9') {
        value |= static_cast<std::uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        value |= static_cast<std::uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        value |= static_cast<std::uint32_t>(c - 'A' + 10);
      } else {
        return std::nullopt;
      }
    }
    return value;
  }

  // "\uXXXX", a surrogate pair taken whole; a lone surrogate is refused.
  std::optional<std::uint32_t> Escaped() {
    const std::optional<std::uint32_t> first = Hex4();
    if (!first || (*first >= 0xDC00 && *first <= 0xDFFF)) return std::nullopt;
    if (*first < 0xD800 || *first > 0xDBFF) return first;
    if (text_.substr(i_, 2) != "\\u") return std::nullopt;
    i_ += 2;
    const std::optional<std::uint32_t> second = Hex4();
    if (!second || *second < 0xDC00 || *second > 0xDFFF) return std::nullopt;
    return 0x10000 + ((*first - 0xD800) << 10) + (*second - 0xDC00);
  }

  static void AppendUtf8(std::uint32_t code, std::string& out) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  std::optional<std::string> String() {
    if (!Take('"')) return std::nullopt;
    std::string out;
    while (i_ < text_.size() && text_[i_] != '"') {
      const char c = text_[i_++];
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i_ >= text_.size()) return std::nullopt;
      switch (const char e = text_[i_++]) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          const std::optional<std::uint32_t> code = Escaped();
          if (!code) return std::nullopt;
          AppendUtf8(*code, out);
          break;
        }
        default:
          return std::nullopt;
      }
    }
    if (i_ >= text_.size()) return std::nullopt;
    ++i_;
    return out;
  }

  std::string_view text_;
  std::size_t i_ = 0;
};

}  // namespace

std::optional<std::map<std::string, JsonValue>> ParseJsonLine(
    std::string_view text) {
  return Reader(text).Object();
}

std::string JsonEscape(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x",
                    static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace lumera
