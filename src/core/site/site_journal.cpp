#include "core/site/site_journal.h"

#include <cstdio>
#include <fstream>

#include "core/site/site_run.h"

namespace lumera {
namespace {

// The flat objects the journal writes: string values and one number.
std::optional<std::map<std::string, std::string>> ParseFlatObject(
    std::string_view text) {
  std::map<std::string, std::string> fields;
  std::size_t i = 0;
  const auto skip = [&] {
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r'))
      ++i;
  };
  const auto string = [&]() -> std::optional<std::string> {
    if (i >= text.size() || text[i] != '"') return std::nullopt;
    ++i;
    std::string out;
    while (i < text.size() && text[i] != '"') {
      char c = text[i++];
      if (c == '\\') {
        if (i >= text.size()) return std::nullopt;
        c = text[i++];
        if (c == 'n') {
          c = '\n';
        } else if (c == 'u') {
          if (i + 4 > text.size()) return std::nullopt;
          c = static_cast<char>(
              std::stoi(std::string(text.substr(i, 4)), nullptr, 16));
          i += 4;
        }
      }
      out += c;
    }
    if (i >= text.size()) return std::nullopt;
    ++i;
    return out;
  };
  skip();
  if (i >= text.size() || text[i++] != '{') return std::nullopt;
  for (;;) {
    skip();
    if (i < text.size() && text[i] == '}') break;
    const auto key = string();
    skip();
    if (!key || i >= text.size() || text[i++] != ':') return std::nullopt;
    skip();
    std::string value;
    if (i < text.size() && text[i] == '"') {
      const auto s = string();
      if (!s) return std::nullopt;
      value = *s;
    } else {
      while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        value += text[i++];
      if (value.empty()) return std::nullopt;
    }
    fields[*key] = value;
    skip();
    if (i < text.size() && text[i] == ',') {
      ++i;
      continue;
    }
    if (i < text.size() && text[i] == '}') break;
    return std::nullopt;
  }
  return fields;
}

}  // namespace

std::string JsonEscape(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

std::filesystem::path JournalPathFor(const std::filesystem::path& site_file) {
  std::filesystem::path path = site_file;
  path += ".journal";
  return path;
}

std::string JournalLine(const JournalEntry& e) {
  const auto field = [](std::string_view key, std::string_view value) {
    std::string out = "\"";
    out += key;
    out += "\":\"";
    out += JsonEscape(value);
    out += '"';
    return out;
  };
  std::string out = "{";
  out += field("time", e.time) + ",";
  out += field("user", e.user) + ",";
  out += field("host", e.host) + ",";
  out += field("line", e.line) + ",";
  out += field("port", e.port) + ",";
  out += "\"controller\":" + std::to_string(e.controller) + ",";
  out += field("job", e.job) + ",";
  out += field("program_sha256", e.program_sha256) + ",";
  out += field("outcome", e.outcome) + ",";
  out += field("run", e.run);
  out += "}";
  return out;
}

std::optional<JournalEntry> ParseJournalLine(std::string_view line) {
  const auto fields = ParseFlatObject(line);
  if (!fields || !fields->contains("controller") || !fields->contains("job")) {
    return std::nullopt;
  }
  const auto get = [&](const char* key) {
    const auto it = fields->find(key);
    return it == fields->end() ? std::string() : it->second;
  };
  JournalEntry e;
  e.time = get("time");
  e.user = get("user");
  e.host = get("host");
  e.line = get("line");
  e.port = get("port");
  e.controller = std::atoi(get("controller").c_str());
  e.job = get("job");
  e.program_sha256 = get("program_sha256");
  e.outcome = get("outcome");
  e.run = get("run");
  return e;
}

bool AppendJournal(const std::filesystem::path& path,
                   const JournalEntry& entry) {
  std::ofstream out(path, std::ios::app | std::ios::binary);
  if (!out) return false;
  out << JournalLine(entry) << "\n";
  out.flush();
  return static_cast<bool>(out);
}

std::vector<JournalEntry> ReadJournal(const std::filesystem::path& path) {
  std::vector<JournalEntry> entries;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (auto entry = ParseJournalLine(line)) entries.push_back(*entry);
  }
  return entries;
}

ResumePoint FindResumePoint(
    const std::vector<JournalEntry>& entries, std::string_view job,
    const std::map<std::pair<std::string, int>, std::string>& program_sums) {
  ResumePoint point;
  for (const JournalEntry& e : entries) {
    if (e.job == job) point.run = e.run;
  }
  if (point.run.empty()) return point;
  for (const JournalEntry& e : entries) {
    if (e.job != job || e.run != point.run) continue;
    const std::pair<std::string, int> key{e.line, e.controller};
    const auto sum = program_sums.find(key);
    const std::string current = sum == program_sums.end() ? "" : sum->second;
    // A later failure of the same controller in the chain undoes it.
    if (e.outcome == SiteOutcomeText(SiteOutcome::kVerified) &&
        e.program_sha256 == current) {
      point.finished.insert(key);
    } else {
      point.finished.erase(key);
    }
  }
  return point;
}

}  // namespace lumera
