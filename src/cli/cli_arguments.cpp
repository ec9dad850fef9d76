#include "cli/cli_arguments.h"

#include <charconv>
#include <cstdint>

#include "core/model/typed_number.h"

namespace lumera {
namespace {

constexpr std::string_view kUsage =
    "Użycie: lumera-cli [opcje] POLECENIE [argumenty]\n"
    "\n"
    "Polecenia:\n"
    "  ports                          porty szeregowe (COM<n> i urządzenie)\n"
    "  upload FILE [--segment N]      WYŚLIJ (segmenty 1-9) / wyślij 1\n"
    "  download FILE [--segment N]    POBIERZ (segmenty 1-9) / pobierz 1;\n"
    "                                 zapisuje FILE i jego plik komentarzy\n"
    "  verify FILE [--segment N]      weryfikacja (?)\n"
    "  config read FILE               Czytaj: konfiguracja do FILE\n"
    "  config write FILE              Wyślij: konfiguracja z FILE\n"
    "  defaults [--program]           Domyślna K / Domyślna K+P\n"
    "  version | hwinfo | errors | registers | position\n"
    "  number read                    numer sterownika (BROADCAST, --yes)\n"
    "  number write N                 nowy numer sterownika 1..254\n"
    "  clock read | clock set         zegar sterownika / ustaw czas PC\n"
    "  restart | stop | resume | radio-reset\n"
    "  step [--segment N]             . Komenda+1\n"
    "  run SEG CMD                    Wykonaj Od\n"
    "  stop-at SEG CMD                . Zatrzymaj Na\n"
    "  tempo N                        Tempo 1..8\n"
    "  start N [--index]              Start Punkt 1..16 (--index: przez\n"
    "                                 indeks; bez: punkt z pliku File=)\n"
    "  scan [--from A] [--to B]       szuka sterowników 1..254\n"
    "  line-check [--count N]         N zapytań o wersję (50): czasy "
    "odpowiedzi\n"
    "                                 i urządzenie za portem\n"
    "  list FILE [--segment N] [--entries-only]\n"
    "                                 wydruk programu jako tekst\n"
    "  print FILE --pdf OUT [--segment N] [--entries-only]\n"
    "                                 wydruk programu do pliku PDF\n"
    "  diff A B [--segment N]         różnice dwóch plików programu\n"
    "  diff FILE [--segment N]        różnice pliku i programu sterownika\n"
    "                                 (czyta jak pobierz, nie zapisuje)\n"
    "  check FILE                     sprawdza program: odwołania do komend\n"
    "                                 i powroty z procedur\n"
    "  site PLIK status|upload|verify|backup KATALOG|clock-set\n"
    "                                 wszystkie sterowniki obiektu\n"
    "                                 (lumera-cli site --help)\n"
    "\n"
    "Opcje (zastępują Lumera.ini z bieżącego katalogu):\n"
    "  --port N|PATH|ADRES\n"
    "                  port COM<N>, ścieżka urządzenia albo port sieciowy\n"
    "                  tcp:HOST:PORT lub rfc2217:HOST:PORT\n"
    "  --device N      numer sterownika 1..255 (255: wszystkie)\n"
    "  --radio         przez radio\n"
    "  --target H,M,L  adres radiowy celu (0..15, 0..15, 0..240)\n"
    "  --all           radio: wszystkie\n"
    "  --time N        czas 0..255 (Wykonaj Od przez radio)\n"
    "  --timeout-ms N  czas oczekiwania na odpowiedź (3000)\n"
    "  --segment N     segment 1..10 (domyślnie Program= z Lumera.ini)\n"
    "  --entries-only  tylko wejścia procedur\n"
    "  --pdf OUT       plik PDF wydruku (print)\n"
    "  --yes           odpowiedz Tak na pytanie\n"
    "  --any-size      upload, verify, config write: także plik innej\n"
    "                  wielkości niż 7714 bajtów (jak okno go wczytuje:\n"
    "                  krótszy uzupełniony zerami, z dłuższego początek)\n"
    "  --trace         ramki na linii na stderr (czas, kierunek, bajty)\n"
    "  --version       wersja programu lumera-cli\n"
    "  --help          ten tekst\n"
    "\n"
    "Kod wyjścia: 0 sukces, 1 błąd zadania (opis na stderr), 2 błąd\n"
    "wywołania, 3 programy się różnią (diff, site verify); check: 1 są\n"
    "uwagi, 2 pliku nie można odczytać.\n";

enum class Takes { kNothing, kValue };

std::optional<int> ParseNumber(std::string_view text, int min, int max) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  if (text[0] == '-' || text[0] == '+') return std::nullopt;
  if (value < min || value > max) return std::nullopt;
  return value;
}

// "H,M,L": high nibble, second nibble, low byte.
std::optional<std::array<int, 3>> ParseTarget(std::string_view text) {
  std::array<int, 3> fields{};
  // The low byte is bounded as the window's field bounds it.
  constexpr std::array<int, 3> kMax{15, 15, 240};
  for (int i = 0; i < 3; ++i) {
    const std::size_t comma = text.find(',');
    const bool last = i == 2;
    if (last != (comma == std::string_view::npos)) return std::nullopt;
    auto field = ParseNumber(text.substr(0, comma), 0, kMax[i]);
    if (!field) return std::nullopt;
    fields[i] = *field;
    if (!last) text.remove_prefix(comma + 1);
  }
  return fields;
}

// What an option does with its value; false with `error` set on a bad one.
bool ApplyOption(std::string_view name, std::string_view value,
                 CliOptions& options, std::string& error) {
  auto number = [&](int min, int max) -> std::optional<int> {
    auto parsed = ParseNumber(value, min, max);
    if (!parsed) {
      error = "niepoprawna wartość opcji --" + std::string(name) + ": " +
              std::string(value);
    }
    return parsed;
  };
  if (name == "port") {
    if (AllDigits(value)) {
      auto n = number(0, 9999);
      if (!n) return false;
      options.port_number = n;
      options.port_path.reset();
    } else {
      if (value.empty()) {
        error = "pusta nazwa portu";
        return false;
      }
      options.port_path = std::string(value);
      options.port_number.reset();
    }
    return true;
  }
  std::optional<int> parsed;
  if (name == "device") {
    if (!(parsed = number(1, 255))) return false;
    options.device = parsed;
  } else if (name == "target") {
    options.target = ParseTarget(value);
    if (!options.target) {
      error = "niepoprawny adres --target (H,M,L): " + std::string(value);
      return false;
    }
  } else if (name == "time") {
    if (!(parsed = number(0, 255))) return false;
    options.time_byte = *parsed;
  } else if (name == "timeout-ms") {
    if (!(parsed = number(1, 600000))) return false;
    options.timeout_ms = *parsed;
  } else if (name == "segment") {
    if (!(parsed = number(1, 10))) return false;
    options.segment = parsed;
  } else if (name == "pdf") {
    if (value.empty()) {
      error = "pusta nazwa pliku --pdf";
      return false;
    }
    options.pdf = std::string(value);
  } else if (name == "from") {
    if (!(parsed = number(1, 254))) return false;
    options.scan_from = *parsed;
  } else if (name == "to") {
    if (!(parsed = number(1, 254))) return false;
    options.scan_to = *parsed;
  } else if (name == "count") {
    if (!(parsed = number(1, 10000))) return false;
    options.line_check_count = *parsed;
  }
  return true;
}

struct OptionDef {
  std::string_view name;
  Takes takes;
};

constexpr OptionDef kOptions[] = {
    {"port", Takes::kValue},       {"device", Takes::kValue},
    {"radio", Takes::kNothing},    {"target", Takes::kValue},
    {"all", Takes::kNothing},      {"time", Takes::kValue},
    {"timeout-ms", Takes::kValue}, {"yes", Takes::kNothing},
    {"segment", Takes::kValue},    {"entries-only", Takes::kNothing},
    {"program", Takes::kNothing},  {"index", Takes::kNothing},
    {"from", Takes::kValue},       {"to", Takes::kValue},
    {"pdf", Takes::kValue},        {"help", Takes::kNothing},
    {"trace", Takes::kNothing},    {"version", Takes::kNothing},
    {"count", Takes::kValue},      {"any-size", Takes::kNothing},
};

// Options that belong to one command only; the others apply to all.
struct OptionScope {
  std::string_view option;
  std::array<CliCommand, 7> commands;
  int count;
};

enum class Arg { kFile, kSegment, kCommand, kTempo, kStartPoint, kNumber };

struct CommandDef {
  std::string_view word1;
  std::string_view word2;  // empty for one-word commands
  CliCommand command;
  std::array<Arg, 2> args;
  int arg_count;
  int optional_count = 0;  // how many of the last arguments may be left out
};

const CommandDef kCommands[] = {
    {"help", "", CliCommand::kHelp, {}, 0},
    {"ports", "", CliCommand::kPorts, {}, 0},
    {"upload", "", CliCommand::kUpload, {Arg::kFile}, 1},
    {"download", "", CliCommand::kDownload, {Arg::kFile}, 1},
    {"verify", "", CliCommand::kVerify, {Arg::kFile}, 1},
    {"config", "read", CliCommand::kConfigRead, {Arg::kFile}, 1},
    {"config", "write", CliCommand::kConfigWrite, {Arg::kFile}, 1},
    {"defaults", "", CliCommand::kDefaults, {}, 0},
    {"version", "", CliCommand::kVersion, {}, 0},
    {"hwinfo", "", CliCommand::kHardwareInfo, {}, 0},
    {"errors", "", CliCommand::kErrors, {}, 0},
    {"registers", "", CliCommand::kRegisters, {}, 0},
    {"position", "", CliCommand::kPosition, {}, 0},
    {"number", "read", CliCommand::kNumberRead, {}, 0},
    {"number", "write", CliCommand::kNumberWrite, {Arg::kNumber}, 1},
    {"clock", "read", CliCommand::kClockRead, {}, 0},
    {"clock", "set", CliCommand::kClockSet, {}, 0},
    {"restart", "", CliCommand::kRestart, {}, 0},
    {"stop", "", CliCommand::kStop, {}, 0},
    {"resume", "", CliCommand::kResume, {}, 0},
    {"step", "", CliCommand::kStep, {}, 0},
    {"run", "", CliCommand::kRun, {Arg::kSegment, Arg::kCommand}, 2},
    {"stop-at", "", CliCommand::kStopAt, {Arg::kSegment, Arg::kCommand}, 2},
    {"tempo", "", CliCommand::kTempo, {Arg::kTempo}, 1},
    {"start", "", CliCommand::kStart, {Arg::kStartPoint}, 1},
    {"radio-reset", "", CliCommand::kRadioReset, {}, 0},
    {"scan", "", CliCommand::kScan, {}, 0},
    {"list", "", CliCommand::kList, {Arg::kFile}, 1},
    {"print", "", CliCommand::kPrint, {Arg::kFile}, 1},
    {"diff", "", CliCommand::kDiff, {Arg::kFile, Arg::kFile}, 2, 1},
    {"line-check", "", CliCommand::kLineCheck, {}, 0},
    {"check", "", CliCommand::kCheck, {Arg::kFile}, 1},
};

const OptionScope kScopes[] = {
    {"segment",
     {CliCommand::kUpload, CliCommand::kDownload, CliCommand::kVerify,
      CliCommand::kList, CliCommand::kStep, CliCommand::kPrint,
      CliCommand::kDiff},
     7},
    {"entries-only", {CliCommand::kList, CliCommand::kPrint}, 2},
    {"pdf", {CliCommand::kPrint}, 1},
    {"program", {CliCommand::kDefaults}, 1},
    {"index", {CliCommand::kStart}, 1},
    {"from", {CliCommand::kScan}, 1},
    {"to", {CliCommand::kScan}, 1},
    {"count", {CliCommand::kLineCheck}, 1},
    {"any-size",
     {CliCommand::kUpload, CliCommand::kVerify, CliCommand::kConfigWrite},
     3},
};

struct ArgRange {
  int min;
  int max;
  const char* what;
};

ArgRange RangeOf(Arg arg) {
  switch (arg) {
    case Arg::kSegment:
      return {1, 10, "segment"};
    case Arg::kCommand:
      return {1, 255, "komenda"};
    case Arg::kTempo:
      return {1, 8, "tempo"};
    case Arg::kStartPoint:
      return {1, 16, "punkt startowy"};
    case Arg::kNumber:
      return {1, 254, "numer sterownika"};
    case Arg::kFile:
      break;
  }
  return {0, 0, "plik"};
}

CliParseResult Fail(std::string error) {
  return {std::nullopt, std::move(error)};
}

}  // namespace

std::string_view CliUsage() { return kUsage; }

CliParseResult ParseCliArguments(std::span<const std::string_view> args) {
  CliInvocation invocation;
  std::vector<std::string_view> words;
  std::vector<std::string_view> given;  // option names, for the scope check
  bool help = false;
  bool program_version = false;
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (options_ended || arg.size() < 2 || arg.substr(0, 2) != "--") {
      words.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    std::string_view name = arg.substr(2);
    std::optional<std::string_view> inline_value;
    if (const std::size_t eq = name.find('='); eq != std::string_view::npos) {
      inline_value = name.substr(eq + 1);
      name = name.substr(0, eq);
    }
    const OptionDef* def = nullptr;
    for (const OptionDef& option : kOptions) {
      if (option.name == name) def = &option;
    }
    if (def == nullptr) return Fail("nieznana opcja: " + std::string(arg));
    given.push_back(def->name);
    if (def->takes == Takes::kNothing) {
      if (inline_value) {
        return Fail("opcja --" + std::string(name) + " nie przyjmuje wartości");
      }
      if (name == "radio") invocation.options.radio = true;
      if (name == "all") invocation.options.all = true;
      if (name == "yes") invocation.options.yes = true;
      if (name == "entries-only") invocation.options.entries_only = true;
      if (name == "program") invocation.options.program = true;
      if (name == "index") invocation.options.index = true;
      if (name == "help") help = true;
      if (name == "version") program_version = true;
      if (name == "trace") invocation.options.trace = true;
      if (name == "any-size") invocation.options.any_size = true;
      continue;
    }
    std::string_view value;
    if (inline_value) {
      value = *inline_value;
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return Fail("brak wartości opcji --" + std::string(name));
    }
    std::string error;
    if (!ApplyOption(def->name, value, invocation.options, error)) {
      return Fail(error);
    }
  }
  if (help) {
    invocation.command = CliCommand::kHelp;
    return {invocation, {}};
  }
  if (program_version) {
    invocation.command = CliCommand::kProgramVersion;
    return {invocation, {}};
  }
  if (words.empty()) return Fail("brak polecenia");

  const CommandDef* command = nullptr;
  for (const CommandDef& def : kCommands) {
    if (def.word1 != words[0]) continue;
    if (def.word2.empty() || (words.size() > 1 && def.word2 == words[1])) {
      command = &def;
      break;
    }
  }
  if (command == nullptr) {
    // A known first word of a two-word command: name the second words.
    std::string choices;
    for (const CommandDef& def : kCommands) {
      if (def.word1 != words[0] || def.word2.empty()) continue;
      choices += (choices.empty() ? "" : " | ") + std::string(def.word1) + " " +
                 std::string(def.word2);
    }
    std::string text(words[0]);
    if (words.size() > 1) text += " " + std::string(words[1]);
    if (!choices.empty()) {
      // Appended piecewise: GCC 12 takes the concatenation for an
      // overlapping copy (-Wrestrict).
      text += " (";
      text += choices;
      text += ')';
    }
    return Fail("nieznane polecenie: " + text);
  }
  invocation.command = command->command;
  const std::size_t first_arg = command->word2.empty() ? 1 : 2;
  const int given_args = static_cast<int>(words.size() - first_arg);
  if (given_args > command->arg_count ||
      given_args < command->arg_count - command->optional_count) {
    return Fail("niewłaściwa liczba argumentów polecenia " +
                std::string(words[0]));
  }
  std::size_t w = first_arg;
  for (int a = 0; a < given_args; ++a) {
    const Arg arg = command->args[a];
    std::string_view word = words[w++];
    if (arg == Arg::kFile) {
      if (word.empty()) return Fail("pusta nazwa pliku");
      (a == 0 ? invocation.file : invocation.second_file) = std::string(word);
      continue;
    }
    const ArgRange range = RangeOf(arg);
    auto number = ParseNumber(word, range.min, range.max);
    if (!number) {
      return Fail(std::string("niepoprawny argument (") + range.what + " " +
                  std::to_string(range.min) + ".." + std::to_string(range.max) +
                  "): " + std::string(word));
    }
    invocation.numbers.push_back(*number);
  }

  for (std::string_view name : given) {
    for (const OptionScope& scope : kScopes) {
      if (scope.option != name) continue;
      bool allowed = false;
      for (int c = 0; c < scope.count; ++c) {
        allowed |= scope.commands[c] == invocation.command;
      }
      if (!allowed) {
        return Fail("opcja --" + std::string(name) +
                    " nie dotyczy tego polecenia");
      }
    }
  }
  // Two files leave no controller to read: a port would be taken for one.
  if (invocation.command == CliCommand::kDiff &&
      !invocation.second_file.empty() &&
      (invocation.options.port_number || invocation.options.port_path)) {
    return Fail("opcja --port nie dotyczy porównania dwóch plików");
  }
  if (invocation.command == CliCommand::kPrint && !invocation.options.pdf) {
    return Fail("brak opcji --pdf OUT (plik wydruku)");
  }
  if (invocation.options.scan_from > invocation.options.scan_to) {
    return Fail("--from większe niż --to");
  }
  return {invocation, {}};
}

}  // namespace lumera
