#include "core/site/journal/site_journal.h"

#include <charconv>

namespace lumera {
namespace {

// Longer lines are none of the journal's, and are not kept in memory whole.
constexpr std::size_t kMaxLineBytes = 1 << 20;

constexpr int kFirstController = 1;
constexpr int kLastController = 254;

constexpr std::string_view kStartEvent = "start";
constexpr std::string_view kBegunEvent = "begun";
constexpr std::string_view kOutcomeEvent = "outcome";

// Built by appending: GCC 12 at -O3 misreads chains of string operator+.
void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  out += JsonEscape(text);
  out += '"';
}

void AppendField(std::string& out, std::string_view key,
                 std::string_view value) {
  AppendQuoted(out, key);
  out += ':';
  AppendQuoted(out, value);
  out += ',';
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

}  // namespace

std::string JournalLine(const JournalEntry& e) {
  std::string out = "{";
  AppendField(out, "time", e.time);
  AppendField(out, "user", e.user);
  AppendField(out, "host", e.host);
  switch (e.event) {
    case JournalEvent::kStart:
      AppendField(out, "event", kStartEvent);
      AppendField(out, "run", e.run);
      AppendField(out, "job", e.job);
      out += "\"programs\":{";
      for (const auto& [file, sum] : e.programs) AppendField(out, file, sum);
      if (out.back() == ',') out.pop_back();
      out += "}}";
      return out;
    case JournalEvent::kBegun:
      AppendField(out, "event", kBegunEvent);
      break;
    case JournalEvent::kOutcome:
      AppendField(out, "event", kOutcomeEvent);
      break;
  }
  AppendField(out, "line", e.line);
  AppendField(out, "port", e.port);
  out += "\"controller\":";
  out += std::to_string(e.controller);
  out += ',';
  AppendField(out, "job", e.job);
  AppendField(out, "program_sha256", e.program_sha256);
  if (e.event == JournalEvent::kOutcome) AppendField(out, "outcome", e.outcome);
  AppendField(out, "run", e.run);
  out.back() = '}';
  return out;
}

std::optional<JournalEntry> ParseJournalLine(std::string_view line) {
  const auto fields = ParseJsonLine(line);
  if (!fields) return std::nullopt;
  bool kinds_fit = true;
  const auto get = [&](const char* key) {
    const auto it = fields->find(key);
    if (it == fields->end()) return std::string();
    kinds_fit = kinds_fit && it->second.kind == JsonValue::Kind::kString;
    return it->second.text;
  };
  JournalEntry e;
  const std::string event = get("event");
  if (event == kStartEvent) {
    e.event = JournalEvent::kStart;
  } else if (event == kBegunEvent) {
    e.event = JournalEvent::kBegun;
  } else if (event.empty() || event == kOutcomeEvent) {
    e.event = JournalEvent::kOutcome;
  } else {
    return std::nullopt;
  }
  e.time = get("time");
  e.user = get("user");
  e.host = get("host");
  e.run = get("run");
  e.job = get("job");
  if (!kinds_fit || e.job.empty()) return std::nullopt;
  if (e.event == JournalEvent::kStart) {
    const auto programs = fields->find("programs");
    if (e.run.empty() || programs == fields->end() ||
        programs->second.kind != JsonValue::Kind::kObject) {
      return std::nullopt;
    }
    e.programs = programs->second.members;
    return e;
  }
  e.line = get("line");
  e.port = get("port");
  e.program_sha256 = get("program_sha256");
  e.outcome = get("outcome");
  const auto controller = fields->find("controller");
  if (!kinds_fit || controller == fields->end() ||
      controller->second.kind != JsonValue::Kind::kNumber) {
    return std::nullopt;
  }
  const std::string& digits = controller->second.text;
  std::from_chars(digits.data(), digits.data() + digits.size(), e.controller);
  if (e.controller < kFirstController || e.controller > kLastController) {
    return std::nullopt;
  }
  return e;
}

void JournalReader::Feed(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view piece = text.substr(0, end);
    if (line_.size() + piece.size() > kMaxLineBytes) {
      overlong_ = true;
      line_.clear();
    } else if (!overlong_) {
      line_ += piece;
    }
    if (end == std::string_view::npos) return;
    EndLine();
    text.remove_prefix(end + 1);
  }
}

void JournalReader::EndLine() {
  ++number_;
  if (overlong_) {
    contents_.skipped_lines.push_back(number_);
  } else if (std::optional<JournalEntry> entry = ParseJournalLine(line_)) {
    contents_.entries.push_back(std::move(*entry));
  } else if (!IsBlank(line_)) {
    contents_.skipped_lines.push_back(number_);
  }
  line_.clear();
  overlong_ = false;
}

JournalContents JournalReader::Finish() {
  // A last line without its end: a write the power cut or a kill tore.
  if (overlong_ || !line_.empty()) EndLine();
  JournalContents contents = std::move(contents_);
  contents_ = {};
  number_ = 0;
  return contents;
}

JournalContents ParseJournal(std::string_view text) {
  JournalReader reader;
  reader.Feed(text);
  return reader.Finish();
}

ResumePoint FindResumePoint(
    const std::vector<JournalEntry>& entries, std::string_view job,
    const std::map<ControllerKey, std::string>& program_sums) {
  ResumePoint point;
  for (const JournalEntry& e : entries) {
    if (e.job == job) point.run = e.run;
  }
  if (point.run.empty()) return point;
  for (const JournalEntry& e : entries) {
    if (e.job != job || e.run != point.run || e.event == JournalEvent::kStart) {
      continue;
    }
    const ControllerKey key{e.line, e.controller};
    const auto sum = program_sums.find(key);
    const std::string current = sum == program_sums.end() ? "" : sum->second;
    // Whatever came later for the same controller in the chain (a write
    // begun again, a failure) undoes a verification.
    if (e.event == JournalEvent::kOutcome && e.outcome == kVerifiedOutcome &&
        e.program_sha256 == current) {
      point.finished.insert(key);
    } else {
      point.finished.erase(key);
    }
  }
  return point;
}

}  // namespace lumera
