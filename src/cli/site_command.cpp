#include "cli/site_command.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/link/transfer_job.h"
#include "core/site/run/site_commands.h"
#include "core/site/run/site_run.h"
#ifdef _WIN32
#include <io.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace lumera {
namespace {

constexpr std::chrono::milliseconds kPoll{20};
constexpr int kPollsPerRedraw = 10;

std::string SiteUsage() {
  return "Użycie: lumera-cli site PLIK " + SiteCommandWords() +
         "\n"
         "       [--yes] [--resume] [--report PLIK.json|PLIK.csv]\n"
         "       [--stop-at-first] [--timeout-ms N] [--any-size]\n";
}

struct SiteArguments {
  std::filesystem::path file;
  SiteCommand command = SiteCommand::kStatus;
  std::filesystem::path backup_dir;
  bool yes = false;
  bool resume = false;
  bool stop_at_first = false;
  bool any_size = false;
  std::optional<std::filesystem::path> report;
  int timeout_ms = 3000;
};

std::optional<SiteArguments> Parse(std::span<const std::string_view> args,
                                   std::string& error) {
  SiteArguments parsed;
  std::vector<std::string_view> words;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--yes") {
      parsed.yes = true;
    } else if (arg == "--resume") {
      parsed.resume = true;
    } else if (arg == "--stop-at-first") {
      parsed.stop_at_first = true;
    } else if (arg == "--any-size") {
      parsed.any_size = true;
    } else if (arg == "--report" && has_value) {
      parsed.report = std::filesystem::path(args[++i]);
      const std::string ext = parsed.report->extension().string();
      if (ext != ".json" && ext != ".csv") {
        error = "--report: plik .json albo .csv";
        return std::nullopt;
      }
    } else if (arg == "--timeout-ms" && has_value) {
      const std::string value(args[++i]);
      char* end = nullptr;
      const long ms = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || ms < 1 || ms > 60000) {
        error = "niepoprawna wartość opcji --timeout-ms: " + value;
        return std::nullopt;
      }
      parsed.timeout_ms = static_cast<int>(ms);
    } else if (arg.starts_with("--")) {
      error = "nieznana opcja " + std::string(arg);
      return std::nullopt;
    } else {
      words.push_back(arg);
    }
  }
  if (words.size() < 2) {
    error = "brak pliku obiektu albo polecenia";
    return std::nullopt;
  }
  parsed.file = std::filesystem::path(words[0]);
  const std::optional<SiteCommand> command = SiteCommandNamed(words[1]);
  if (!command) {
    error = "nieznane polecenie site: " + std::string(words[1]);
    return std::nullopt;
  }
  parsed.command = *command;
  const SiteCommandInfo& info = SiteCommandInfoOf(*command);
  std::size_t expected = 2;
  if (info.needs_folder) {
    expected = 3;
    if (words.size() < 3) {
      error = std::string(info.word) + ": brak katalogu";
      return std::nullopt;
    }
    parsed.backup_dir = std::filesystem::path(words[2]);
  }
  if (words.size() > expected) {
    error = "nadmiarowy argument: " + std::string(words[expected]);
    return std::nullopt;
  }
  if (parsed.any_size && !info.needs_programs) {
    error = "--any-size działa z upload i verify";
    return std::nullopt;
  }
  if (parsed.resume && !info.writes) {
    error = "--resume działa z upload i clock-set (dziennik zapisów)";
    return std::nullopt;
  }
  return parsed;
}

bool StdinIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdin)) != 0;
#else
  return isatty(STDIN_FILENO) == 1;
#endif
}

// True when a line can be read from standard input (or it has ended).
bool AnswerWaiting(std::chrono::milliseconds wait) {
#ifdef _WIN32
  (void)wait;
  return true;
#else
  pollfd p{STDIN_FILENO, POLLIN, 0};
  return ::poll(&p, 1, static_cast<int>(wait.count())) != 0;
#endif
}

class SiteSession {
 public:
  SiteSession(const SiteArguments& args, CliEnvironment& env)
      : args_(args), env_(env) {}
  int Run();

 private:
  bool Confirm(const SiteRun& run);
  void Watch(SiteRun& run);

  const SiteArguments& args_;
  CliEnvironment& env_;
};

bool SiteSession::Confirm(const SiteRun& run) {
  env_.out << run.PlanText();
  if (args_.yes) return true;
  if (!StdinIsTerminal()) {
    env_.err << "Bez terminala polecenie wymaga --yes; nic nie zostało "
                "wysłane.\n";
    return false;
  }
  env_.out << "Tak/Nie? " << std::flush;
  // Ctrl-C is taken by polling (the signals stay blocked), so the answer is
  // waited for in short steps rather than in one blocking read.
  while (!AnswerWaiting(kPoll)) {
    if (env_.interrupted && env_.interrupted()) {
      env_.err << "\n" << kAbortText << "\n";
      return false;
    }
  }
  std::string answer;
  std::getline(std::cin, answer);
  if (answer == "Tak" || answer == "tak" || answer == "TAK" || answer == "t" ||
      answer == "T") {
    return true;
  }
  env_.err << "Polecenie nie zostało wykonane.\n";
  return false;
}

void SiteSession::Watch(SiteRun& operation) {
  std::vector<SiteLineProgress> shown;
  bool drawn = false;
  for (;;) {
    for (int poll = 0; poll < kPollsPerRedraw && !operation.Finished();
         ++poll) {
      if (env_.interrupted && env_.interrupted()) operation.Abort();
      std::this_thread::sleep_for(kPoll);
    }
    const bool finished = operation.Finished();
    const std::vector<SiteLineProgress> now = operation.Progress();
    shown.resize(now.size());
    const std::vector<SiteLine>& lines = operation.site().lines;
    if (env_.err_is_terminal) {
      if (drawn) env_.err << "\033[" << now.size() << "A";
      for (std::size_t i = 0; i < now.size(); ++i) {
        env_.err << "\r\033[K" << lines[i].name << ": ";
        if (now[i].current != 0) {
          env_.err << "sterownik " << now[i].current << ", ";
        }
        env_.err << now[i].done << "/" << now[i].total << ", błędy "
                 << now[i].failures << "\n";
      }
      env_.err << std::flush;
      drawn = true;
    } else {
      for (std::size_t i = 0; i < now.size(); ++i) {
        if (now[i].done == shown[i].done) continue;
        env_.err << lines[i].name << ": " << now[i].done << "/" << now[i].total
                 << ", błędy " << now[i].failures << "\n";
      }
    }
    shown = now;
    if (finished) break;
  }
}

int SiteSession::Run() {
  SiteRunSettings settings;
  settings.site_file = args_.file;
  settings.command = args_.command;
  settings.backup_dir = args_.backup_dir;
  settings.resume = args_.resume;
  settings.stop_at_first = args_.stop_at_first;
  settings.any_size = args_.any_size;
  settings.timeout_ms = args_.timeout_ms;
  settings.port_roots = env_.port_roots;
  settings.create_port = CommandPorts(env_);
  SiteRun run(std::move(settings));
  switch (run.Prepare()) {
    case SitePreparation::kReady:
      break;
    case SitePreparation::kSiteFaults:
      for (const SiteFault& fault : run.faults()) {
        env_.err << SiteFaultText(args_.file, fault) << "\n";
      }
      return kExitUsage;
    case SitePreparation::kRefused:
      env_.err << run.refusal() << "\n";
      return kExitFailure;
    case SitePreparation::kAllVerified:
      for (const std::string& note : run.notes()) env_.err << note << "\n";
      env_.out << kAllVerifiedText << "\n";
      return kExitSuccess;
  }
  for (const std::string& note : run.notes()) env_.err << note << "\n";
  if (SiteCommandInfoOf(args_.command).writes && !Confirm(run)) {
    return kExitFailure;
  }
  if (!run.Start()) {
    env_.err << run.refusal() << "\n";
    return kExitFailure;
  }
  Watch(run);
  env_.out << SiteTableText(run.Finish());

  bool failed = false;
  if (run.journal_failed()) {
    env_.err << run.JournalFailureText() << "\n";
  }
  if (!run.manifest_error().empty()) env_.err << run.manifest_error() << "\n";
  std::string error;
  if (args_.report && !run.WriteReport(*args_.report, error)) {
    env_.err << error << "\n";
    failed = true;
  }
  switch (run.Verdict()) {
    case SiteVerdict::kFailed:
      return kExitFailure;
    case SiteVerdict::kDiffers:
      return failed ? kExitFailure : kExitDiffer;
    case SiteVerdict::kSucceeded:
      break;
  }
  return failed ? kExitFailure : kExitSuccess;
}

}  // namespace

int RunSiteCommand(std::span<const std::string_view> args,
                   CliEnvironment& env) {
  for (const std::string_view arg : args) {
    if (arg == "--help") {
      env.out << SiteUsage();
      return kExitSuccess;
    }
  }
  std::string error;
  const std::optional<SiteArguments> parsed = Parse(args, error);
  if (!parsed) {
    env.err << "lumera-cli site: " << error << "\n" << SiteUsage();
    return kExitUsage;
  }
  SiteSession session(*parsed, env);
  return session.Run();
}

}  // namespace lumera
