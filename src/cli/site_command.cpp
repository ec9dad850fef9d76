#include "cli/site_command.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "core/link/transfer_job.h"
#include "core/model/atomic_file.h"
#include "core/site/sha256.h"
#include "core/site/site_file.h"
#include "core/site/site_journal.h"
#include "core/site/site_report.h"
#include "core/site/site_run.h"
#ifdef _WIN32
#include <io.h>
#else
#include <poll.h>
#include <pwd.h>
#include <unistd.h>
#endif

namespace lumera {
namespace {

constexpr std::chrono::milliseconds kPoll{20};
constexpr int kPollsPerRedraw = 10;

constexpr std::string_view kSiteUsage =
    "Użycie: lumera-cli site PLIK status|upload|verify|backup KATALOG|"
    "clock-set\n"
    "       [--yes] [--resume] [--report PLIK.json|PLIK.csv]\n"
    "       [--stop-at-first] [--timeout-ms N]\n";

struct SiteArguments {
  std::filesystem::path file;
  SiteCommand command = SiteCommand::kStatus;
  std::string job;  // the command's word, as the journal names it
  std::filesystem::path backup_dir;
  bool yes = false;
  bool resume = false;
  bool stop_at_first = false;
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
  parsed.job = std::string(words[1]);
  std::size_t expected = 2;
  if (words[1] == "status") {
    parsed.command = SiteCommand::kStatus;
  } else if (words[1] == "upload") {
    parsed.command = SiteCommand::kUpload;
  } else if (words[1] == "verify") {
    parsed.command = SiteCommand::kVerify;
  } else if (words[1] == "clock-set") {
    parsed.command = SiteCommand::kClockSet;
  } else if (words[1] == "backup") {
    parsed.command = SiteCommand::kBackup;
    expected = 3;
    if (words.size() < 3) {
      error = "backup: brak katalogu";
      return std::nullopt;
    }
    parsed.backup_dir = std::filesystem::path(words[2]);
  } else {
    error = "nieznane polecenie site: " + std::string(words[1]);
    return std::nullopt;
  }
  if (words.size() > expected) {
    error = "nadmiarowy argument: " + std::string(words[expected]);
    return std::nullopt;
  }
  const bool writes = parsed.command == SiteCommand::kUpload ||
                      parsed.command == SiteCommand::kClockSet;
  if (parsed.resume && !writes) {
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

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string UserName() {
  std::string user = EnvironmentValue("USER");
  if (user.empty()) user = EnvironmentValue("USERNAME");
#ifndef _WIN32
  if (user.empty()) {
    if (const passwd* entry = getpwuid(getuid())) user = entry->pw_name;
  }
#endif
  return user;
}

std::string HostName() {
#ifndef _WIN32
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) == 0) return name;
#endif
  return EnvironmentValue("COMPUTERNAME");
}

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &now);
#else
  gmtime_r(&now, &utc);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

class SiteSession {
 public:
  SiteSession(const SiteArguments& args, CliEnvironment& env)
      : args_(args), env_(env) {}
  int Run();

 private:
  bool Confirm(const SiteFile& site, const SiteRunOptions& options);
  void Journal(const SiteRow& row, std::string_view job);
  void Watch(SiteRun& run, const SiteFile& site);
  bool WriteOut(const std::filesystem::path& path, const std::string& text);

  const SiteArguments& args_;
  CliEnvironment& env_;
  std::filesystem::path journal_;
  std::string run_id_;
  std::string user_ = UserName();
  std::string host_ = HostName();
  bool journal_failed_ = false;
};

bool SiteSession::Confirm(const SiteFile& site, const SiteRunOptions& options) {
  env_.out << (args_.command == SiteCommand::kUpload
                   ? "Plan: wysłanie programu"
                   : "Plan: ustawienie zegara")
           << "\n";
  for (const SiteLine& line : site.lines) {
    bool named = false;
    for (const SiteController& c : line.controllers) {
      if (options.only_given && !options.only.contains({line.name, c.number}))
        continue;
      if (!named) {
        env_.out << "linia " << line.name << " (" << line.port << "):\n";
        named = true;
      }
      env_.out << "  sterownik " << c.number;
      if (args_.command == SiteCommand::kUpload) {
        env_.out << ": " << c.program.string();
      }
      env_.out << "\n";
    }
  }
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

void SiteSession::Journal(const SiteRow& row, std::string_view job) {
  JournalEntry entry;
  entry.time = UtcNow();
  entry.user = user_;
  entry.host = host_;
  entry.line = row.line;
  entry.port = row.port;
  entry.controller = row.controller;
  entry.job = std::string(job);
  if (args_.command == SiteCommand::kUpload) {
    entry.program_sha256 = row.program_sha256;
  }
  entry.outcome = std::string(SiteOutcomeText(row.outcome));
  if (!row.failure.empty()) entry.outcome += ": " + row.failure;
  entry.run = run_id_;
  if (!AppendJournal(journal_, entry)) journal_failed_ = true;
}

void SiteSession::Watch(SiteRun& run, const SiteFile& site) {
  std::vector<SiteLineProgress> shown(site.lines.size());
  bool drawn = false;
  for (;;) {
    for (int poll = 0; poll < kPollsPerRedraw && !run.Finished(); ++poll) {
      if (env_.interrupted && env_.interrupted()) run.Abort();
      std::this_thread::sleep_for(kPoll);
    }
    const bool finished = run.Finished();
    const std::vector<SiteLineProgress> now = run.Progress();
    if (env_.err_is_terminal) {
      if (drawn) env_.err << "\033[" << now.size() << "A";
      for (std::size_t i = 0; i < now.size(); ++i) {
        env_.err << "\r\033[K" << site.lines[i].name << ": ";
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
        env_.err << site.lines[i].name << ": " << now[i].done << "/"
                 << now[i].total << ", błędy " << now[i].failures << "\n";
      }
    }
    shown = now;
    if (finished) break;
  }
  run.Join();
}

bool SiteSession::WriteOut(const std::filesystem::path& path,
                           const std::string& text) {
  if (WriteFileAtomically(path, text) == AtomicWriteResult::kOk) return true;
  env_.err << "Błąd zapisu pliku ! " << path.string() << "\n";
  return false;
}

int SiteSession::Run() {
  const bool needs_programs = args_.command == SiteCommand::kUpload ||
                              args_.command == SiteCommand::kVerify;
  const SiteParseResult parsed = LoadSiteFile(args_.file, needs_programs);
  if (!parsed.site) {
    for (const SiteFault& fault : parsed.faults) {
      env_.err << SiteFaultText(args_.file, fault) << "\n";
    }
    return kExitUsage;
  }
  const SiteFile& site = *parsed.site;

  SiteRunOptions options;
  options.command = args_.command;
  options.backup_dir = args_.backup_dir;
  options.stop_at_first = args_.stop_at_first;
  options.timeout_ms = args_.timeout_ms;
  options.create_port = CommandPorts(env_);
  std::map<std::pair<std::string, int>, std::string> sums_by_controller;
  for (const SiteLine& line : site.lines) {
    for (const SiteController& c : line.controllers) {
      if (c.program.empty()) continue;
      auto [it, added] = options.program_sums.emplace(c.program, "");
      if (added) {
        const std::optional<std::string> sum = Sha256OfFile(c.program);
        if (!sum) {
          env_.err << "Błąd odczytu pliku ! " << c.program.string() << "\n";
          return kExitFailure;
        }
        it->second = *sum;
      }
      if (args_.command == SiteCommand::kUpload) {
        sums_by_controller[{line.name, c.number}] = it->second;
      }
    }
  }

  journal_ = JournalPathFor(args_.file);
  run_id_ = UtcNow();
  if (args_.resume) {
    const ResumePoint point =
        FindResumePoint(ReadJournal(journal_), args_.job, sums_by_controller);
    if (point.run.empty()) {
      env_.err << "Dziennik nie zawiera poprzedniego " << args_.job
               << ": wszystkie sterowniki.\n";
    } else {
      run_id_ = point.run;
      options.only_given = true;
      for (const SiteLine& line : site.lines) {
        for (const SiteController& c : line.controllers) {
          if (!point.finished.contains({line.name, c.number})) {
            options.only.insert({line.name, c.number});
          }
        }
      }
      if (options.only.empty()) {
        env_.out << "Wszystkie sterowniki zakończone i zweryfikowane.\n";
        return kExitSuccess;
      }
    }
  }

  const bool writes = args_.command == SiteCommand::kUpload ||
                      args_.command == SiteCommand::kClockSet;
  if (writes) {
    if (!Confirm(site, options)) return kExitFailure;
    options.on_write = [this](const SiteRow& row, std::string_view job) {
      Journal(row, job);
    };
  }
  if (args_.command == SiteCommand::kBackup) {
    std::error_code error;
    std::filesystem::create_directories(args_.backup_dir, error);
    if (error) {
      env_.err << "Nie można utworzyć katalogu " << args_.backup_dir.string()
               << ": " << error.message() << "\n";
      return kExitFailure;
    }
  }

  SiteRun run(site, std::move(options));
  run.Start();
  Watch(run, site);
  const std::vector<SiteRow> rows = run.Rows();
  env_.out << SiteTableText(rows);

  bool failed = journal_failed_;
  if (journal_failed_) {
    env_.err << "Błąd zapisu dziennika " << journal_.string() << "\n";
  }
  if (args_.report) {
    const std::string text = args_.report->extension() == ".json"
                                 ? SiteReportJson(rows)
                                 : SiteReportCsv(rows);
    failed = !WriteOut(*args_.report, text) || failed;
  }
  if (args_.command == SiteCommand::kBackup) {
    failed = !WriteOut(args_.backup_dir / "MANIFEST.sha256",
                       BackupManifest(rows, args_.backup_dir)) ||
             failed;
  }
  bool differs = false;
  for (const SiteRow& row : rows) {
    failed = failed || SiteOutcomeIsFailure(row.outcome);
    differs = differs || row.outcome == SiteOutcome::kDiffers;
  }
  if (failed) return kExitFailure;
  return differs ? kExitDiffer : kExitSuccess;
}

}  // namespace

int RunSiteCommand(std::span<const std::string_view> args,
                   CliEnvironment& env) {
  for (const std::string_view arg : args) {
    if (arg == "--help") {
      env.out << kSiteUsage;
      return kExitSuccess;
    }
  }
  std::string error;
  const std::optional<SiteArguments> parsed = Parse(args, error);
  if (!parsed) {
    env.err << "lumera-cli site: " << error << "\n" << kSiteUsage;
    return kExitUsage;
  }
  SiteSession session(*parsed, env);
  return session.Run();
}

}  // namespace lumera
