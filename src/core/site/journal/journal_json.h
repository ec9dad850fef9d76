// The JSON of one journal line: an object whose values are strings,
// non-negative integers, or objects of strings (the program files of a run).
// Anything else is not a line the journal writes, and reads as nothing.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumera {

struct JsonValue {
  enum class Kind { kString, kNumber, kObject };
  Kind kind = Kind::kString;
  std::string text;  // a string, or a number's digits
  std::vector<std::pair<std::string, std::string>> members;  // kObject
};

// Nothing for text that is not one such object (a torn line, a bad escape,
// a key given twice, a value of another kind, text after the object).
std::optional<std::map<std::string, JsonValue>> ParseJsonLine(
    std::string_view text);

// Escapes for a JSON string (quotes not included).
std::string JsonEscape(std::string_view text);

}  // namespace lumera
