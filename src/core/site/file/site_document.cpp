#include "core/site/file/site_document.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "core/model/typed_number.h"

namespace lumera {
namespace {

constexpr std::string_view kItemSeparator = "; ";

std::string_view Trim(std::string_view text) {
  const auto is_space = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_space(text.back())) text.remove_suffix(1);
  return text;
}

// A key line's key and value; nothing for headers, comments and blanks.
struct KeyValue {
  std::string_view key;
  std::string_view value;
};
std::optional<KeyValue> KeyOf(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == '[') {
    return std::nullopt;
  }
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyValue{Trim(trimmed.substr(0, equals)),
                  Trim(trimmed.substr(equals + 1))};
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) {
    if (!out.empty()) out += kItemSeparator;
    out += item;
  }
  return out;
}

// "a.prg; 7=b.prg" into the unnumbered item and the numbered ones; a
// numbered item is digits, '=' and its value.
struct Items {
  std::string plain;
  std::vector<std::pair<std::string, std::string>> numbered;
};
std::string SplitItems(std::string_view text, bool plain_allowed,
                       Items& items) {
  std::set<std::string> seen;
  bool has_plain = false;
  while (!text.empty()) {
    const std::size_t semicolon = text.find(';');
    const std::string_view item = Trim(text.substr(0, semicolon));
    text.remove_prefix(semicolon == std::string_view::npos ? text.size()
                                                           : semicolon + 1);
    if (item.empty()) continue;
    const std::size_t equals = item.find('=');
    const std::string_view number = equals == std::string_view::npos
                                        ? std::string_view()
                                        : Trim(item.substr(0, equals));
    if (AllDigits(number)) {
      if (!seen.insert(std::string(number)).second) {
        return "sterownik " + std::string(number) + " podany dwa razy";
      }
      items.numbered.emplace_back(number, Trim(item.substr(equals + 1)));
    } else if (!plain_allowed) {
      return "oczekiwano NUMER=H,M,L: \"" + std::string(item) + "\"";
    } else if (has_plain) {
      return "więcej niż jeden program bez numeru sterownika: \"" +
             std::string(item) + "\"";
    } else {
      has_plain = true;
      items.plain = std::string(item);
    }
  }
  return {};
}

}  // namespace

SiteDocument SiteDocument::FromText(std::string_view text) {
  SiteDocument document;
  // Kept for the file's next writing, as the editor that made it wrote it.
  if (text.starts_with(kUtf8ByteOrderMark)) {
    text.remove_prefix(kUtf8ByteOrderMark.size());
    document.byte_order_mark_ = true;
  }
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    std::string_view raw = text.substr(0, newline);
    std::string_view end;
    if (newline == std::string_view::npos) {
      text = {};
    } else {
      text.remove_prefix(newline + 1);
      end = "\n";
      if (raw.ends_with('\r')) {
        raw.remove_suffix(1);
        end = "\r\n";
      }
    }
    TextLine line{std::string(raw), std::string(end)};
    if (Trim(line.text).starts_with('[')) {
      document.sections_.push_back({std::move(line), {}});
    } else if (document.sections_.empty()) {
      document.preamble_.push_back(std::move(line));
    } else {
      document.sections_.back().body.push_back(std::move(line));
    }
  }
  return document;
}

int SiteDocument::FindKey(const Section& section, std::string_view key) {
  for (std::size_t i = 0; i < section.body.size(); ++i) {
    const auto found = KeyOf(section.body[i].text);
    if (found && found->key == key) return static_cast<int>(i);
  }
  return -1;
}

std::vector<std::pair<std::string, std::string>> SiteDocument::KeysWith(
    const Section& section, std::string_view prefix) {
  std::vector<std::pair<std::string, std::string>> keys;
  for (const TextLine& line : section.body) {
    const auto found = KeyOf(line.text);
    if (found && found->key.starts_with(prefix)) {
      keys.emplace_back(found->key.substr(prefix.size()), found->value);
    }
  }
  return keys;
}

std::string SiteDocument::Cell(int line, SiteCell cell) const {
  const Section& section = sections_.at(static_cast<std::size_t>(line));
  const auto value = [&](std::string_view key) {
    const int at = FindKey(section, key);
    return at < 0 ? std::string()
                  : std::string(
                        KeyOf(section.body[static_cast<std::size_t>(at)].text)
                            ->value);
  };
  const auto numbered = [&](std::string_view prefix) {
    std::vector<std::string> items;
    for (const auto& [number, text] : KeysWith(section, prefix)) {
      items.push_back(number + "=" + text);
    }
    return items;
  };
  switch (cell) {
    case SiteCell::kName: {
      std::string_view inner = Trim(section.header.text);
      inner =
          Trim(inner.substr(1, inner.size() - (inner.ends_with(']') ? 2 : 1)));
      constexpr std::string_view kWord = "line";
      if (inner.starts_with(kWord)) inner.remove_prefix(kWord.size());
      return std::string(Trim(inner));
    }
    case SiteCell::kPort:
      return value("port");
    case SiteCell::kControllers:
      return value("controllers");
    case SiteCell::kPrograms: {
      std::vector<std::string> items;
      if (std::string common = value("program"); !common.empty()) {
        items.push_back(std::move(common));
      }
      for (std::string& item : numbered("program.")) {
        items.push_back(std::move(item));
      }
      return Join(items);
    }
    case SiteCell::kTargets:
      return Join(numbered("target."));
  }
  return {};
}

std::string SiteDocument::SetCell(int line, SiteCell cell,
                                  std::string_view text) {
  if (text.find_first_of("\r\n") != std::string_view::npos) {
    return "tekst bez końców wierszy";
  }
  text = Trim(text);
  if (text == Cell(line, cell)) return {};
  Section& section = sections_.at(static_cast<std::size_t>(line));
  switch (cell) {
    case SiteCell::kName:
      section.header.text = "[line " + std::string(text) + "]";
      return {};
    case SiteCell::kPort:
      SetKey(section, "port", text);
      return {};
    case SiteCell::kControllers:
      SetKey(section, "controllers", text);
      return {};
    case SiteCell::kPrograms: {
      Items items;
      if (std::string fault = SplitItems(text, true, items); !fault.empty()) {
        return fault;
      }
      SetKey(section, "program", items.plain);
      SetKeys(section, "program.", items.numbered);
      return {};
    }
    case SiteCell::kTargets: {
      Items items;
      if (std::string fault = SplitItems(text, false, items); !fault.empty()) {
        return fault;
      }
      SetKeys(section, "target.", items.numbered);
      SetKey(section, "radio", items.numbered.empty() ? "" : "point");
      return {};
    }
  }
  return {};
}

void SiteDocument::SetProgram(int line, std::string_view file) {
  SetKey(sections_.at(static_cast<std::size_t>(line)), "program", Trim(file));
}

void SiteDocument::SetKey(Section& section, std::string_view key,
                          std::string_view value) {
  const int at = FindKey(section, key);
  if (at >= 0) {
    const auto index = static_cast<std::size_t>(at);
    if (value.empty()) {
      section.body.erase(section.body.begin() + at);
      return;
    }
    // The key and the spaces after '=' stay as they were written.
    std::string& line = section.body[index].text;
    std::size_t start = line.find('=') + 1;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) {
      ++start;
    }
    if (std::string_view(line).substr(start) != value) {
      line = line.substr(0, start) + std::string(value);
    }
    return;
  }
  if (value.empty()) return;
  // A new key follows the section's last key, before the comments that
  // introduce what comes next.
  std::size_t after = 0;
  for (std::size_t i = 0; i < section.body.size(); ++i) {
    if (KeyOf(section.body[i].text)) after = i + 1;
  }
  section.body.insert(
      section.body.begin() + static_cast<std::ptrdiff_t>(after),
      {std::string(key) + " = " + std::string(value), NewLineEnd()});
}

void SiteDocument::SetKeys(
    Section& section, std::string_view prefix,
    const std::vector<std::pair<std::string, std::string>>& wanted) {
  for (const auto& [number, value] : KeysWith(section, prefix)) {
    const bool kept =
        std::any_of(wanted.begin(), wanted.end(),
                    [&](const auto& item) { return item.first == number; });
    if (!kept) SetKey(section, std::string(prefix) + number, "");
  }
  for (const auto& [number, value] : wanted) {
    SetKey(section, std::string(prefix) + number, value);
  }
}

int SiteDocument::AddLine(std::string_view name) {
  std::vector<TextLine>& before =
      sections_.empty() ? preamble_ : sections_.back().body;
  const TextLine* last = before.empty() && !sections_.empty()
                             ? &sections_.back().header
                             : (before.empty() ? nullptr : &before.back());
  if (last != nullptr && !Trim(last->text).empty()) {
    before.push_back({"", NewLineEnd()});
  }
  sections_.push_back(
      {{"[line " + std::string(Trim(name)) + "]", NewLineEnd()}, {}});
  return LineCount() - 1;
}

void SiteDocument::RemoveLine(int line) {
  const auto index = static_cast<std::size_t>(line);
  Section& section = sections_.at(index);
  std::size_t keep_from = 0;
  for (std::size_t i = 0; i < section.body.size(); ++i) {
    const std::string_view text = Trim(section.body[i].text);
    if (!text.empty() && text.front() != '#') keep_from = i + 1;
  }
  std::vector<TextLine>& before =
      index == 0 ? preamble_ : sections_[index - 1].body;
  before.insert(before.end(),
                section.body.begin() + static_cast<std::ptrdiff_t>(keep_from),
                section.body.end());
  sections_.erase(sections_.begin() + line);
}

std::string SiteDocument::NewLineEnd() const {
  const auto first_end = [](const std::vector<TextLine>& lines) {
    for (const TextLine& line : lines) {
      if (!line.end.empty()) return line.end;
    }
    return std::string();
  };
  if (std::string end = first_end(preamble_); !end.empty()) return end;
  for (const Section& section : sections_) {
    if (!section.header.end.empty()) return section.header.end;
    if (std::string end = first_end(section.body); !end.empty()) return end;
  }
  return "\n";
}

std::string SiteDocument::Text() const {
  std::vector<const TextLine*> lines;
  for (const TextLine& line : preamble_) lines.push_back(&line);
  for (const Section& section : sections_) {
    lines.push_back(&section.header);
    for (const TextLine& line : section.body) lines.push_back(&line);
  }
  const std::string end = NewLineEnd();
  std::string out(byte_order_mark_ ? kUtf8ByteOrderMark : "");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    out += lines[i]->text;
    // A line that was the file's last and no longer is gets an end.
    out += lines[i]->end.empty() && i + 1 < lines.size() ? end : lines[i]->end;
  }
  return out;
}

int SiteDocument::LineOfText(int text_line) const {
  int at = static_cast<int>(preamble_.size());
  if (text_line <= at) return -1;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    at += 1 + static_cast<int>(sections_[i].body.size());
    if (text_line <= at) return static_cast<int>(i);
  }
  return -1;
}

std::string SiteDocument::FaultText(const SiteFault& fault) const {
  const int row = LineOfText(fault.line_number);
  if (row < 0) return fault.message;
  return "Wiersz " + std::to_string(row + 1) + " (" +
         Cell(row, SiteCell::kName) + "): " + fault.message;
}

std::string SiteDocument::NewLineName() const {
  for (int n = LineCount() + 1;; ++n) {
    const std::string name = "linia-" + std::to_string(n);
    bool taken = false;
    for (int line = 0; line < LineCount(); ++line) {
      taken = taken || Cell(line, SiteCell::kName) == name;
    }
    if (!taken) return name;
  }
}

OpenedSiteFile OpenSiteFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  if (!in || in.bad()) {
    // Read once more by the grammar's own reader, for its own fault.
    return {LoadSiteFile(path, false), {}};
  }
  const std::string bytes = text.str();
  return {ParseSite(bytes, path.parent_path(), false),
          SiteDocument::FromText(bytes)};
}

}  // namespace lumera
