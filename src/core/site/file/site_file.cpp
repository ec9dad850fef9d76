#include "core/site/file/site_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "core/link/port_identity.h"
#include "core/model/cp1250.h"

namespace lumera {
namespace {

constexpr int kFirstNumber = 1;
constexpr int kLastNumber = 254;

std::string_view Trim(std::string_view text) {
  const auto is_space = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
  };
  while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_space(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<int> Number(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) {
    return std::nullopt;
  }
  return value;
}

// A fault shows what the file holds, but never sends a terminal bytes that
// are not text: a byte outside valid UTF-8 and a control character are
// written \xNN.
std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (std::size_t offset = 0; offset < text.size();) {
    const std::optional<Utf8Char> ch = DecodeUtf8Char(text, offset);
    const bool control =
        ch && (ch->code_point < 0x20 ||
               (ch->code_point >= 0x7F && ch->code_point < 0xA0));
    if (ch && !control) {
      out += text.substr(offset, ch->length);
      offset += ch->length;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X",
                  static_cast<unsigned char>(text[offset]));
    out += escaped;
    ++offset;
  }
  out += '"';
  return out;
}

// The letters a name may hold besides a-z and A-Z.
constexpr std::u32string_view kPolishLetters = U"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";

// The name becomes a folder of a backup: no separators, no "..", nothing a
// shell would trip on.
bool ValidLineName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (std::size_t offset = 0; offset < name.size();) {
    const std::optional<Utf8Char> ch = DecodeUtf8Char(name, offset);
    if (!ch) return false;
    const char32_t c = ch->code_point;
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                    (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                    c == '.' ||
                    kPolishLetters.find(c) != std::u32string_view::npos;
    if (!ok) return false;
    offset += ch->length;
  }
  return true;
}

// How many faults of one kind are shown; the rest are counted.
constexpr int kShownFaultsOfAKind = 3;

// A fault's kind: its text without the quoted part and the numbers, so that
// "sterownik 5 podany dwa razy" and "sterownik 6 podany dwa razy" are one.
std::string FaultKind(std::string_view message) {
  const std::size_t open = message.find('"');
  const std::size_t close = message.rfind('"');
  std::string kind;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (open != std::string_view::npos && i > open && i < close) continue;
    const char c = message[i];
    const bool digit = c >= '0' && c <= '9';
    if (digit && !kind.empty() && kind.back() == '#') continue;
    kind += digit ? '#' : c;
  }
  return kind;
}

// Faults in line order, each kind shown up to kShownFaultsOfAKind times
// (a fault repeated on the same line once) and then counted: a file with a
// number listed 200000 times gives a few lines, not 199999.
std::vector<SiteFault> Abridged(std::vector<SiteFault> faults) {
  struct Kind {
    int shown = 0;
    int hidden = 0;
    int first_hidden_line = 0;
    int last_hidden_line = 0;
    std::set<std::pair<int, std::string>> seen;
  };
  std::map<std::string, Kind> kinds;
  std::vector<SiteFault> shown;
  for (SiteFault& fault : faults) {
    Kind& kind = kinds[FaultKind(fault.message)];
    if (kind.shown < kShownFaultsOfAKind &&
        kind.seen.emplace(fault.line_number, fault.message).second) {
      ++kind.shown;
      shown.push_back(std::move(fault));
      continue;
    }
    if (kind.hidden++ == 0) kind.first_hidden_line = fault.line_number;
    kind.last_hidden_line = fault.line_number;
  }
  for (const auto& [name, kind] : kinds) {
    if (kind.hidden == 0) continue;
    std::string message =
        "ten sam błąd jeszcze " + (kind.hidden == 1
                                       ? std::string("raz")
                                       : std::to_string(kind.hidden) + " razy");
    if (kind.last_hidden_line != kind.first_hidden_line) {
      message += ", do wiersza " + std::to_string(kind.last_hidden_line);
    }
    shown.push_back({kind.first_hidden_line, std::move(message)});
  }
  std::stable_sort(shown.begin(), shown.end(),
                   [](const SiteFault& a, const SiteFault& b) {
                     return a.line_number < b.line_number;
                   });
  return shown;
}

// One [line] section while it is read.
struct LineDraft {
  SiteLine line;
  bool has_port = false;
  bool has_controllers = false;
  int port_line = 0;
  std::set<std::string> keys;
  std::optional<std::pair<std::string, int>> program;  // value, line
  std::map<int, std::pair<std::string, int>> programs;
  std::map<int, std::pair<RadioAddress, int>> targets;
};

class Parser {
 public:
  Parser(const std::filesystem::path& base_dir, bool programs_required,
         const PortRoots& port_roots)
      : base_dir_(base_dir),
        programs_required_(programs_required),
        port_roots_(port_roots) {}

  SiteParseResult Parse(std::string_view text);

 private:
  void Fault(int line, std::string message) {
    faults_.push_back({line, std::move(message)});
  }
  void Header(std::string_view text, int line);
  void Entry(std::string_view key, std::string_view value, int line);
  void Controllers(std::string_view value, int line);
  std::optional<int> KeyNumber(std::string_view key, std::string_view prefix,
                               int line);
  void FinishLine();
  std::optional<std::filesystem::path> Program(const std::string& value,
                                               int line);

  std::filesystem::path base_dir_;
  bool programs_required_;
  const PortRoots& port_roots_;
  std::vector<SiteFault> faults_;
  std::optional<LineDraft> draft_;
  SiteFile site_;
  std::set<std::string> names_;
  std::map<std::string, int> ports_;  // PortIdentity -> line of its use
};

void Parser::Header(std::string_view text, int line) {
  FinishLine();
  std::string_view inner = Trim(text.substr(1, text.size() - 2));
  constexpr std::string_view kWord = "line";
  if (inner.substr(0, kWord.size()) != kWord ||
      (inner.size() > kWord.size() && inner[kWord.size()] != ' ' &&
       inner[kWord.size()] != '\t')) {
    Fault(line,
          "nieznana sekcja " + Quoted(text) + " (oczekiwano [line NAZWA])");
    draft_.emplace();
    draft_->line.line_number = line;
    return;
  }
  const std::string_view name = Trim(inner.substr(kWord.size()));
  draft_.emplace();
  draft_->line.name = std::string(name);
  draft_->line.line_number = line;
  if (!ValidLineName(name)) {
    Fault(line, "niepoprawna nazwa linii " + Quoted(name) +
                    " (litery, cyfry, - _ .)");
  } else if (!names_.insert(std::string(name)).second) {
    Fault(line, "linia " + Quoted(name) + " podana dwa razy");
  }
}

std::optional<int> Parser::KeyNumber(std::string_view key,
                                     std::string_view prefix, int line) {
  const std::optional<int> number = Number(key.substr(prefix.size()));
  if (!number || *number < kFirstNumber || *number > kLastNumber) {
    Fault(line, "numer sterownika poza 1..254: " + Quoted(key));
    return std::nullopt;
  }
  return number;
}

void Parser::Controllers(std::string_view value, int line) {
  std::set<int> seen;
  std::string_view rest = value;
  bool any = false;
  while (true) {
    const std::size_t comma = rest.find(',');
    const std::string_view item = Trim(rest.substr(0, comma));
    const std::size_t dash = item.find('-');
    const std::optional<int> first = Number(item.substr(0, dash));
    const std::optional<int> last =
        dash == std::string_view::npos ? first : Number(item.substr(dash + 1));
    if (!first || !last || *first > *last) {
      Fault(line, "niepoprawna lista sterowników: " + Quoted(item));
    } else if (*first < kFirstNumber || *last > kLastNumber) {
      Fault(line, "numer sterownika poza 1..254: " + Quoted(item));
    } else {
      for (int n = *first; n <= *last; ++n) {
        if (!seen.insert(n).second) {
          Fault(line, "sterownik " + std::to_string(n) + " podany dwa razy");
          continue;
        }
        draft_->line.controllers.push_back({n, {}, {}});
        any = true;
      }
    }
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (!any && Trim(value).empty()) Fault(line, "pusta lista sterowników");
}

void Parser::Entry(std::string_view key, std::string_view value, int line) {
  if (!draft_) {
    Fault(line, "klucz " + Quoted(key) + " przed pierwszą sekcją [line ...]");
    return;
  }
  if (!draft_->keys.insert(std::string(key)).second) {
    Fault(line, "klucz " + Quoted(key) + " podany dwa razy");
    return;
  }
  if (key == "port") {
    if (value.empty()) {
      Fault(line, "pusta nazwa portu");
      return;
    }
    draft_->line.port = std::string(value);
    draft_->has_port = true;
    draft_->port_line = line;
  } else if (key == "radio") {
    if (value == "point") {
      draft_->line.radio_point = true;
    } else if (value == "all") {
      Fault(line,
            "radio = all nie jest dozwolone w zadaniach obiektu: żaden "
            "sterownik nie odpowiada");
    } else {
      Fault(line, "nieznany tryb radia " + Quoted(value) + " (tylko point)");
    }
  } else if (key == "controllers") {
    draft_->has_controllers = true;
    Controllers(value, line);
  } else if (key == "program") {
    draft_->program = {std::string(value), line};
  } else if (key.starts_with("program.")) {
    if (const auto n = KeyNumber(key, "program.", line)) {
      draft_->programs[*n] = {std::string(value), line};
    }
  } else if (key.starts_with("target.")) {
    const auto n = KeyNumber(key, "target.", line);
    if (!n) return;
    std::array<int, 3> fields{};
    constexpr std::array<int, 3> kMax{15, 15, 240};
    std::string_view rest = value;
    bool ok = true;
    for (int i = 0; i < 3 && ok; ++i) {
      const std::size_t comma = rest.find(',');
      if ((i == 2) != (comma == std::string_view::npos)) {
        ok = false;
        break;
      }
      const auto field = Number(rest.substr(0, comma));
      ok = field && *field <= kMax[i];
      if (ok) fields[i] = *field;
      if (comma != std::string_view::npos) rest.remove_prefix(comma + 1);
    }
    if (!ok) {
      Fault(line, "niepoprawny adres radiowy " + Quoted(value) +
                      " (H,M,L: 0..15, 0..15, 0..240)");
      return;
    }
    draft_->targets[*n] = {RadioAddress{static_cast<std::uint8_t>(fields[0]),
                                        static_cast<std::uint8_t>(fields[1]),
                                        static_cast<std::uint8_t>(fields[2])},
                           line};
  } else {
    Fault(line, "nieznany klucz " + Quoted(key));
  }
}

std::optional<std::filesystem::path> Parser::Program(const std::string& value,
                                                     int line) {
  const std::filesystem::path path = base_dir_ / std::filesystem::path(value);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    Fault(line, "brak pliku programu " + Quoted(value));
    return std::nullopt;
  }
  return path;
}

void Parser::FinishLine() {
  if (!draft_) return;
  LineDraft draft = std::move(*draft_);
  draft_.reset();
  SiteLine& line = draft.line;
  const int at = line.line_number;
  if (!draft.has_port) {
    Fault(at, "linia " + Quoted(line.name) + " bez klucza port");
  } else {
    const auto [first, inserted] =
        ports_.emplace(PortIdentity(line.port, port_roots_), draft.port_line);
    if (!inserted) {
      Fault(draft.port_line, "port " + Quoted(line.port) +
                                 " już użyty przez linię w wierszu " +
                                 std::to_string(first->second));
    }
  }
  if (!draft.has_controllers) {
    Fault(at, "linia " + Quoted(line.name) + " bez klucza controllers");
  }
  std::set<int> listed;
  for (const SiteController& c : line.controllers) listed.insert(c.number);
  for (const auto& [n, value] : draft.programs) {
    if (!listed.contains(n)) {
      Fault(value.second, "sterownik " + std::to_string(n) +
                              " nie jest na liście controllers");
    }
  }
  for (const auto& [n, value] : draft.targets) {
    if (!listed.contains(n)) {
      Fault(value.second, "sterownik " + std::to_string(n) +
                              " nie jest na liście controllers");
    }
  }
  // Each named file is checked once, where it is named.
  std::optional<std::filesystem::path> common;
  if (draft.program)
    common = Program(draft.program->first, draft.program->second);
  std::map<int, std::optional<std::filesystem::path>> own;
  for (const auto& [n, value] : draft.programs) {
    if (listed.contains(n)) own[n] = Program(value.first, value.second);
  }
  for (SiteController& c : line.controllers) {
    const auto mine = own.find(c.number);
    if (mine != own.end()) {
      if (mine->second) c.program = *mine->second;
    } else if (common) {
      c.program = *common;
    } else if (programs_required_ && !draft.program) {
      Fault(at, "brak programu dla sterownika " + std::to_string(c.number) +
                    " linii " + Quoted(line.name));
    }
    const auto target = draft.targets.find(c.number);
    if (target != draft.targets.end()) c.target = target->second.first;
    if (line.radio_point && !c.target) {
      Fault(at, "brak target." + std::to_string(c.number) +
                    " dla sterownika przez radio");
    }
  }
  site_.lines.push_back(std::move(line));
}

SiteParseResult Parser::Parse(std::string_view text) {
  // Editors on Windows begin a UTF-8 file with its byte-order mark.
  if (text.starts_with(kUtf8ByteOrderMark)) {
    text.remove_prefix(kUtf8ByteOrderMark.size());
  }
  int line_number = 0;
  while (!text.empty()) {
    ++line_number;
    const std::size_t end = text.find('\n');
    const std::string_view raw = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      if (line.back() != ']') {
        Fault(line_number, "niezamknięta sekcja " + Quoted(line));
        continue;
      }
      Header(line, line_number);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      Fault(line_number, "oczekiwano KLUCZ = WARTOŚĆ: " + Quoted(line));
      continue;
    }
    Entry(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)),
          line_number);
  }
  FinishLine();
  if (site_.lines.empty() && faults_.empty()) {
    Fault(0, "brak linii (sekcji [line NAZWA])");
  }
  std::stable_sort(faults_.begin(), faults_.end(),
                   [](const SiteFault& a, const SiteFault& b) {
                     return a.line_number < b.line_number;
                   });
  SiteParseResult result;
  result.faults = Abridged(std::move(faults_));
  if (result.faults.empty()) result.site = std::move(site_);
  return result;
}

}  // namespace

SiteParseResult ParseSite(std::string_view text,
                          const std::filesystem::path& base_dir,
                          bool programs_required, const PortRoots& port_roots) {
  Parser parser(base_dir, programs_required, port_roots);
  return parser.Parse(text);
}

SiteParseResult LoadSiteFile(const std::filesystem::path& path,
                             bool programs_required,
                             const PortRoots& port_roots) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  if (!in || in.bad()) {
    SiteParseResult result;
    result.faults.push_back({0, "nie można odczytać pliku obiektu"});
    return result;
  }
  return ParseSite(text.str(), path.parent_path(), programs_required,
                   port_roots);
}

std::filesystem::path LineFolderName(const SiteLine& line) {
  return std::filesystem::path(
      std::u8string(line.name.begin(), line.name.end()));
}

std::string SiteFaultText(const std::filesystem::path& file,
                          const SiteFault& fault) {
  std::string text = file.string();
  if (fault.line_number > 0) text += ":" + std::to_string(fault.line_number);
  return text + ": " + fault.message;
}

}  // namespace lumera
