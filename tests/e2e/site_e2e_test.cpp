// lumera-cli site against three lumera-sim lines, one controller silent and
// one answering with a bad checksum.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/model/program_file.h"
#include "core/model/sha256.h"
#include "core/site/journal/site_journal.h"
#include "e2e/cli_process.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;
using e2e::CliResult;
using e2e::Lines;
using e2e::ReadAll;
using e2e::RunCliProcess;
using e2e::Sim;
using e2e::TempFolder;

// "line/controller" -> outcome, from a CSV report.
std::map<std::string, std::string> Outcomes(const fs::path& csv) {
  std::map<std::string, std::string> outcomes;
  const std::vector<std::string> lines = Lines(ReadAll(csv));
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::istringstream row(lines[i]);
    std::vector<std::string> fields;
    for (std::string field; std::getline(row, field, ',');) {
      fields.push_back(field);
    }
    if (fields.size() >= 4) outcomes[fields[0] + "/" + fields[2]] = fields[3];
  }
  return outcomes;
}

void WriteProgram(const fs::path& path, std::uint8_t first_code) {
  ProgramStore store;
  for (int k = 0; k < 20; ++k) {
    store.SetCommand(0, k,
                     Command{static_cast<std::uint8_t>((first_code + k) % 45),
                             static_cast<std::uint8_t>(k), 3});
  }
  ASSERT_TRUE(SaveProgramFile(store, path));
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path) << text;
}

constexpr const char* kVerified = "zweryfikowany";

TEST(SiteE2eTest, ThreeLinesNameTheSilentAndTheBadChecksumOnly) {
  TempFolder folder;
  Sim a(folder, {"--number", "1,2"});
  Sim b(folder, {"--number", "4,5", "--fault", "checksum", "--fault-at", "1"});
  Sim c(folder, {"--number", "6"});
  ASSERT_TRUE(a.port() && b.port() && c.port());
  fs::create_directories(folder.path() / "programs");
  WriteProgram(folder.path() / "programs/p.prg", 1);
  WriteText(folder.path() / "site.txt",
            "[line a]\nport = " + a.device() +
                "\ncontrollers = 1-3\nprogram = programs/p.prg\n"
                "[line b]\nport = " +
                std::to_string(b.port()) +
                "\ncontrollers = 4, 5\nprogram = programs/p.prg\n"
                "[line c]\nport = " +
                c.device() + "\ncontrollers = 6\nprogram = programs/p.prg\n");
  // The wait also covers a loaded machine (the sanitizer runs): only the
  // silent controller spends it.
  const std::vector<std::string> upload = {"site",     "site.txt",     "upload",
                                           "--yes",    "--timeout-ms", "1000",
                                           "--report", "r.csv"};
  const CliResult first = RunCliProcess(folder, upload);
  EXPECT_EQ(first.exit_code, 1) << first.err;
  EXPECT_EQ(Outcomes(folder.path() / "r.csv"),
            (std::map<std::string, std::string>{{"a/1", kVerified},
                                                {"a/2", kVerified},
                                                {"a/3", "nieobecny"},
                                                {"b/4", "błąd"},
                                                {"b/5", kVerified},
                                                {"c/6", kVerified}}));
  EXPECT_NE(first.out.find("Błąd sumy kontrolnej !"), std::string::npos);
  const std::string sum =
      Sha256OfFile(folder.path() / "programs/p.prg").value_or("none");
  EXPECT_NE(ReadAll(folder.path() / "r.csv").find(sum), std::string::npos);
  // A start line, then a begun and an outcome line per write: the silent
  // and the refused got none.
  const fs::path journal = folder.path() / "site.txt.journal";
  std::vector<std::string> entries = Lines(ReadAll(journal));
  ASSERT_EQ(entries.size(), 9u);
  EXPECT_NE(entries[0].find("\"programs\":{\"programs/p.prg\":\"" + sum),
            std::string::npos);

  // The fault is spent: the resumed run writes only to the two.
  const CliResult resumed = RunCliProcess(folder, [&] {
    auto args = upload;
    args.push_back("--resume");
    return args;
  }());
  EXPECT_EQ(resumed.exit_code, 1) << resumed.err;
  EXPECT_EQ(Outcomes(folder.path() / "r.csv"),
            (std::map<std::string, std::string>{{"a/3", "nieobecny"},
                                                {"b/4", kVerified}}));
  // The resumed run's start, and b/4's begun and outcome lines.
  entries = Lines(ReadAll(journal));
  ASSERT_EQ(entries.size(), 12u);
  EXPECT_NE(entries.back().find("\"controller\":4"), std::string::npos);

  // A changed program file: every controller that answers differs.
  WriteProgram(folder.path() / "programs/p.prg", 2);
  const CliResult verify = RunCliProcess(
      folder, {"site", "site.txt", "verify", "--timeout-ms", "1000"});
  EXPECT_EQ(verify.exit_code, 1);  // 3 is absent
  EXPECT_NE(verify.out.find("różnic: 20; 1/1: "), std::string::npos)
      << verify.out;

  // A backup leaves files only for the controllers that answered.
  const CliResult backup = RunCliProcess(
      folder, {"site", "site.txt", "backup", "kopia", "--timeout-ms", "1000"});
  EXPECT_EQ(backup.exit_code, 1);
  EXPECT_FALSE(fs::exists(folder.path() / "kopia/a/3.prg"));
  const std::string manifest = ReadAll(folder.path() / "kopia/MANIFEST.sha256");
  for (const char* file :
       {"a/1.prg", "a/2.prg", "b/4.prg", "b/5.prg", "c/6.prg"}) {
    SCOPED_TRACE(file);
    const auto held = Sha256OfFile(folder.path() / "kopia" / file);
    ASSERT_TRUE(held) << backup.out;
    EXPECT_NE(manifest.find(*held + "  " + file + "\n"), std::string::npos);
  }
}

TEST(SiteE2eTest, VerifyOfEqualAndChangedProgramsGivesItsExitCodes) {
  TempFolder folder;
  Sim a(folder, {"--number", "1,2"});
  ASSERT_TRUE(a.port());
  WriteProgram(folder.path() / "p.prg", 7);
  WriteProgram(folder.path() / "q.prg", 8);
  WriteText(folder.path() / "site.txt",
            "[line a]\nport = " + a.device() +
                "\ncontrollers = 1, 2\nprogram = p.prg\nprogram.2 = q.prg\n");
  ASSERT_EQ(
      RunCliProcess(folder, {"site", "site.txt", "upload", "--yes"}).exit_code,
      0);
  EXPECT_EQ(RunCliProcess(folder, {"site", "site.txt", "verify"}).exit_code, 0);
  WriteProgram(folder.path() / "q.prg", 9);
  const CliResult differs =
      RunCliProcess(folder, {"site", "site.txt", "verify"});
  EXPECT_EQ(differs.exit_code, 3);
  EXPECT_NE(differs.out.find("różnice"), std::string::npos);
  // Without a terminal and without --yes nothing is written.
  const CliResult refused =
      RunCliProcess(folder, {"site", "site.txt", "clock-set"});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_NE(refused.err.find("--yes"), std::string::npos);
  EXPECT_EQ(Lines(ReadAll(folder.path() / "site.txt.journal")).size(), 5u);
}

TEST(SiteE2eTest, PortThatCannotOpenFailsOnlyItsLine) {
  TempFolder folder;
  Sim a(folder, {"--number", "1"});
  ASSERT_TRUE(a.port());
  const fs::path missing = folder.path() / "no-such-device";
  WriteText(folder.path() / "site.txt", "[line a]\nport = " + a.device() +
                                            "\ncontrollers = 1\n"
                                            "[line x]\nport = " +
                                            missing.string() +
                                            "\ncontrollers = 7, 8\n");
  const CliResult result = RunCliProcess(
      folder, {"site", "site.txt", "status", "--report", "r.csv"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(Outcomes(folder.path() / "r.csv"),
            (std::map<std::string, std::string>{
                {"a/1", "ok"}, {"x/7", "błąd"}, {"x/8", "błąd"}}));
  for (const std::string& row : Lines(result.out)) {
    if (row.rfind("x ", 0) != 0) continue;
    EXPECT_NE(row.find("Błąd otwarcia portu ! " + missing.string() +
                       ": No such file or directory"),
              std::string::npos)
        << row;
  }
}

// A file that is not a program is refused, naming its size, before the
// plan, the journal or the port: the controller keeps its program. With
// --any-size it is sent as the window loads it.
TEST(SiteE2eTest, FileThatIsNotAProgramIsRefusedBeforeAnythingIsSent) {
  TempFolder folder;
  Sim a(folder, {"--number", "1"});
  ASSERT_TRUE(a.port());
  WriteProgram(folder.path() / "p.prg", 5);
  std::ofstream(folder.path() / "zero.prg");
  const std::string line =
      "[line a]\nport = " + std::to_string(a.port()) + "\ncontrollers = 1\n";
  WriteText(folder.path() / "site.txt", line + "program = p.prg\n");
  WriteText(folder.path() / "zero.txt", line + "program = zero.prg\n");
  ASSERT_EQ(
      RunCliProcess(folder, {"site", "site.txt", "upload", "--yes"}).exit_code,
      0);

  for (const char* command : {"upload", "verify"}) {
    SCOPED_TRACE(command);
    const CliResult refused =
        RunCliProcess(folder, {"site", "zero.txt", command, "--yes"});
    EXPECT_EQ(refused.exit_code, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "zero.txt: plik zero.prg ma 0 bajtów, a plik programu ma 7714 "
              "bajtów.\n");
  }
  EXPECT_FALSE(fs::exists(folder.path() / "zero.txt.journal"));
  EXPECT_EQ(RunCliProcess(folder, {"site", "site.txt", "verify"}).exit_code, 0);

  EXPECT_EQ(RunCliProcess(folder,
                          {"site", "zero.txt", "upload", "--yes", "--any-size"})
                .exit_code,
            0);
  EXPECT_EQ(RunCliProcess(folder, {"site", "site.txt", "verify"}).exit_code, 3);
}

// While a run holds the site, a second is refused at once and takes no port
// from it; a closed terminal (SIGHUP) or a kill (SIGTERM) ends the run as
// Ctrl-C does: the write aborted, its outcome journaled, the site free.
TEST(SiteE2eTest, SecondRunIsRefusedAndAHangUpEndsTheFirst) {
  for (const int signal_number : {SIGHUP, SIGTERM}) {
    SCOPED_TRACE(signal_number == SIGHUP ? "SIGHUP" : "SIGTERM");
    TempFolder folder;
    Sim a(folder, {"--number", "1", "--baud", "38400"});
    ASSERT_TRUE(a.port());
    WriteProgram(folder.path() / "p.prg", 1);
    WriteText(folder.path() / "site.txt",
              "[line a]\nport = " + std::to_string(a.port()) +
                  "\ncontrollers = 1\nprogram = p.prg\n");
    const fs::path journal = folder.path() / "site.txt.journal";
    const pid_t pid = fork();
    if (pid == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
      e2e::ExecCliInChild(folder, {"site", "site.txt", "upload", "--yes"});
    }
    // The paced write takes seconds; it has begun once its line is there.
    for (int ms = 0; ms < 5000; ms += 10) {
      if (ReadAll(journal).find("\"begun\"") != std::string::npos) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const CliResult second =
        RunCliProcess(folder, {"site", "site.txt", "status"});
    EXPECT_EQ(second.exit_code, 1);
    EXPECT_NE(second.err.find("jest już obsługiwany przez inne uruchomienie"),
              std::string::npos)
        << second.err;
    kill(pid, signal_number);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::vector<JournalEntry> entries =
        ParseJournal(ReadAll(journal)).entries;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].event, JournalEvent::kOutcome);
    EXPECT_EQ(entries[2].outcome, "błąd: Operacja przerwana !");
    EXPECT_EQ(RunCliProcess(folder, {"site", "site.txt", "status"}).exit_code,
              0);
  }
}

// The link waits for a radio reply until the job is aborted: a site ends
// that wait, or one silent target would hold its line for hours.
TEST(SiteE2eTest, RadioTargetThatNeverAnswersDoesNotHoldItsLine) {
  TempFolder folder;
  Sim radio(folder, {"--radio", "--number", "3"});
  ASSERT_TRUE(radio.port());
  WriteText(folder.path() / "site.txt",
            "[line r]\nport = " + radio.device() +
                "\nradio = point\ncontrollers = 6, 3\ntarget.3 = 15,15,16\n"
                "target.6 = 1,1,1\n");
  const CliResult result =
      RunCliProcess(folder, {"site", "site.txt", "status", "--timeout-ms",
                             "200", "--report", "r.csv"});
  EXPECT_EQ(result.exit_code, 1) << result.err;
  EXPECT_EQ(Outcomes(folder.path() / "r.csv"),
            (std::map<std::string, std::string>{{"r/6", "nieobecny"},
                                                {"r/3", "ok"}}));
}

}  // namespace
}  // namespace lumera
