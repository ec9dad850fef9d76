// lumera-cli site upload killed outright (SIGKILL) at random moments of a
// run over two lines of lumera-sim, each kill followed by --resume: at the
// end of every round each controller holds the program, and the journal's
// verified lines say so. Most rounds bring a new program, so a kill leaves
// controllers half-written, or still holding the last round's; every third
// keeps the program and restarts line b's controllers with their memory
// lost (the journal's last run is then a complete one), and kills the run
// while it writes to controller 4. LUMERA_CHAOS_SEED repeats a run's
// moments.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <random>
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
using e2e::ReadAll;
using e2e::RunCliProcess;
using e2e::Sim;
using e2e::TempFolder;

constexpr int kKills = 20;
// Requests of one controller's upload, ReadVersion first.
constexpr int kRequestsOfOneUpload = 2300;

// A small program: the upload still writes every segment, so a run lasts
// long enough for kills to land inside writes.
void WriteProgram(const fs::path& path, int round) {
  ProgramStore store;
  for (int k = 0; k < 8; ++k) {
    store.SetCommand(0, k,
                     Command{static_cast<std::uint8_t>((round + k) % 45),
                             static_cast<std::uint8_t>(round), 1});
  }
  ASSERT_TRUE(SaveProgramFile(store, path));
}

// For each controller of the journal, what its last upload line says:
// "begun", or the outcome with the program's sum.
std::map<std::string, std::string> LastWord(const fs::path& journal) {
  std::map<std::string, std::string> last;
  for (const JournalEntry& e : ParseJournal(ReadAll(journal)).entries) {
    if (e.job != "upload" || e.event == JournalEvent::kStart) continue;
    last[e.line + "/" + std::to_string(e.controller)] =
        e.event == JournalEvent::kBegun ? "begun"
                                        : e.outcome + " " + e.program_sha256;
  }
  return last;
}

TEST(SiteChaosTest, KilledUploadsResumeUntilEveryControllerHoldsTheProgram) {
  std::random_device device;
  const char* given = std::getenv("LUMERA_CHAOS_SEED");
  const unsigned seed =
      given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
                       : device();
  std::mt19937 random(seed);
  TempFolder folder;
  Sim a(folder, {"--number", "1,2,3"});
  std::optional<Sim> b;
  b.emplace(folder, std::vector<std::string>{"--number", "4,5"});
  ASSERT_TRUE(a.port() && b->port());
  const std::string b_com = std::to_string(b->port());
  const fs::path program = folder.path() / "p.prg";
  const fs::path journal = folder.path() / "site.txt.journal";
  std::ofstream(folder.path() / "site.txt")
      << "[line a]\nport = COM" << a.port()
      << "\ncontrollers = 1-3\nprogram = p.prg\n[line b]\nport = COM" << b_com
      << "\ncontrollers = 4, 5\nprogram = p.prg\n";
  const std::vector<std::string> upload = {"site",  "site.txt",     "upload",
                                           "--yes", "--timeout-ms", "1000"};
  std::vector<std::string> resume = upload;
  resume.push_back("--resume");
  const std::vector<std::string> verify = {"site", "site.txt", "verify",
                                           "--timeout-ms", "1000"};

  // A whole run, for where the kills may land: the second, once the
  // simulators' lines are warm.
  WriteProgram(program, 0);
  ASSERT_EQ(RunCliProcess(folder, upload).exit_code, 0);
  const auto began = std::chrono::steady_clock::now();
  ASSERT_EQ(RunCliProcess(folder, upload).exit_code, 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - began);

  int kills = 0;
  int resumes = 0;
  int left_behind = 0;  // kills after which a controller lacked the program
  for (int round = 1; kills < kKills && round <= 2 * kKills; ++round) {
    SCOPED_TRACE("round " + std::to_string(round) + ", seed " +
                 std::to_string(seed));
    const bool memory_lost = round % 3 == 0;
    if (memory_lost) {
      // The kill comes as the simulator takes this request.
      const int at =
          std::uniform_int_distribution<int>(2, kRequestsOfOneUpload)(random);
      b.reset();
      b.emplace(folder, std::vector<std::string>{
                            "--number", "4,5", "--com", b_com, "--fault",
                            "mark", "--fault-at", std::to_string(at)});
      ASSERT_TRUE(b->port());
    } else {
      WriteProgram(program, round);
    }
    const std::string sum = *Sha256OfFile(program);
    const pid_t pid = fork();
    if (pid == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
      e2e::ExecCliInChild(folder, upload);
    }
    if (memory_lost) {
      b->WaitForLine("fault", 10000);
    } else {
      std::this_thread::sleep_for(std::chrono::microseconds(
          std::uniform_int_distribution<long>(0, whole.count())(random)));
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      ++kills;
    }
    left_behind += RunCliProcess(folder, verify).exit_code != 0 ? 1 : 0;

    const CliResult resumed = RunCliProcess(folder, resume);
    ++resumes;
    ASSERT_EQ(resumed.exit_code, 0) << resumed.out << resumed.err;
    const CliResult checked = RunCliProcess(folder, verify);
    ASSERT_EQ(checked.exit_code, 0) << checked.out;
    std::map<std::string, std::string> expected;
    for (const char* c : {"a/1", "a/2", "a/3", "b/4", "b/5"}) {
      expected[c] = "zweryfikowany " + sum;
    }
    ASSERT_EQ(LastWord(journal), expected);
  }
  std::cout << "chaos: " << kills << " kills, " << resumes << " resumes, "
            << left_behind
            << " kills left a controller without the program; a whole run "
            << whole.count() / 1000 << " ms; seed " << seed << "\n";
  EXPECT_GT(left_behind, 0);
}

}  // namespace
}  // namespace lumera
