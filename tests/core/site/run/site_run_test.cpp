#include "core/site/run/site_run.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "core/link/frames.h"
#include "core/link/operations.h"
#include "core/link/port_owners.h"
#include "core/model/program_file.h"
#include "core/model/sha256.h"
#include "site_line_ports.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;

constexpr auto kWriteCommandCode =
    static_cast<std::uint8_t>(RequestCode::kWriteCommand);
constexpr auto kReadCommandCode =
    static_cast<std::uint8_t>(RequestCode::kReadCommand);
constexpr auto kReadVersionCode =
    static_cast<std::uint8_t>(RequestCode::kReadVersion);

ProgramStore Program(std::uint8_t first_code) {
  ProgramStore store;
  for (int k = 0; k < 12; ++k) {
    store.SetCommand(0, k,
                     Command{static_cast<std::uint8_t>((first_code + k) % 45),
                             static_cast<std::uint8_t>(k), 3});
  }
  return store;
}

bool Holds(const InMemoryController& controller, const ProgramStore& program) {
  const ProgramImage image = controller.State().image;
  return std::equal(image.begin(), image.begin() + kProgramBytes,
                    program.image().begin());
}

// A site file "site.txt" with a program "p.prg", its lines on in-memory
// controllers "mem-a" and "mem-b".
class SiteRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lumera-site-operation-XXXXXX";
    dir_ = mkdtemp(pattern);
    ASSERT_TRUE(SaveProgramFile(program_, dir_ / "p.prg"));
  }
  void TearDown() override { fs::remove_all(dir_); }

  void WriteSite(const std::string& text) {
    std::ofstream(dir_ / "site.txt") << text;
  }
  SiteRunSettings Settings(SiteCommand command) {
    SiteRunSettings settings;
    settings.site_file = dir_ / "site.txt";
    settings.command = command;
    settings.timeout_ms = 200;
    settings.create_port = PortsOf(lines_, opens_);
    return settings;
  }
  std::vector<JournalEntry> Journal() const {
    return ReadJournalFile(dir_ / "site.txt.journal")
        .value_or(JournalContents{})
        .entries;
  }

  fs::path dir_;
  ProgramStore program_ = Program(1);
  InMemoryController a_;
  InMemoryController b_;
  Lines lines_{{"mem-a", &a_}, {"mem-b", &b_}};
  Opens opens_;
};

std::string Described(const JournalEntry& e) {
  const char* kinds[] = {"start", "begun", "outcome"};
  std::string text = kinds[static_cast<int>(e.event)];
  if (e.event != JournalEvent::kStart) {
    text += " " + e.line + "/" + std::to_string(e.controller);
  }
  return e.outcome.empty() ? text : text + " " + e.outcome;
}

TEST_F(SiteRunTest, JournalTellsEachStepBeforeItActs) {
  WriteSite(
      "[line a]\nport = mem-a\ncontrollers = 1, 2\nprogram = p.prg\n"
      "[line b]\nport = mem-b\ncontrollers = 1\nprogram = p.prg\n");
  // What the journal held when controller a/1 took its first write.
  std::vector<std::string> at_first_write;
  a_.SetHook([&](const InMemoryController::Request& request) {
    if (request.code != kWriteCommandCode || !at_first_write.empty()) return;
    for (const JournalEntry& e : Journal()) {
      if (e.line == "a" || e.event == JournalEvent::kStart) {
        at_first_write.push_back(Described(e));
      }
    }
  });
  SiteRun operation(Settings(SiteCommand::kUpload));
  ASSERT_EQ(operation.Prepare(), SitePreparation::kReady);
  ASSERT_TRUE(operation.Start());
  operation.Finish();
  EXPECT_EQ(at_first_write, (std::vector<std::string>{"start", "begun a/1"}));
  const std::vector<JournalEntry> journal = Journal();
  ASSERT_FALSE(journal.empty());
  EXPECT_EQ(journal[0].programs,
            (std::vector<std::pair<std::string, std::string>>{
                {"p.prg", *Sha256OfFile(dir_ / "p.prg")}}));
  // a/2 does not answer: nothing was begun on it.
  std::vector<std::string> a_lines;
  std::vector<std::string> b_lines;
  for (const JournalEntry& e : journal) {
    EXPECT_EQ(e.run, journal[0].run);
    (e.line == "b" ? b_lines : a_lines).push_back(Described(e));
  }
  EXPECT_EQ(a_lines, (std::vector<std::string>{"start", "begun a/1",
                                               "outcome a/1 zweryfikowany"}));
  EXPECT_EQ(b_lines, (std::vector<std::string>{"begun b/1",
                                               "outcome b/1 zweryfikowany"}));
  EXPECT_EQ(operation.Verdict(), SiteVerdict::kFailed);
}

// The plan a question shows: a line each, consecutive numbers as ranges,
// grouped by program, and the programs the check finds fault with. Once a run
// is finished, the next may prepare while the rows are still kept.
TEST_F(SiteRunTest, PlanGroupsByProgramAndAFinishedRunFreesTheSite) {
  // q.prg jumps past its segment's end: the plan tells, and goes on.
  ProgramStore q = Program(2);
  q.SetCommand(0, 12, Command{22, 200, 0});
  ASSERT_TRUE(SaveProgramFile(q, dir_ / "q.prg"));
  WriteSite(
      "[line a]\nport = mem-a\ncontrollers = 1-4, 7, 5, 6\nprogram = p.prg\n"
      "program.2 = q.prg\n[line b]\nport = mem-b\ncontrollers = 1\n"
      "program = p.prg\n");
  const struct {
    SiteCommand command;
    const char* text;
  } kPlans[] = {
      {SiteCommand::kUpload,
       "Plan: wysłanie programu\n"
       "linia a (mem-a): sterowniki 1, 3-4, 7, 5-6: p.prg; sterownik 2: q.prg\n"
       "linia b (mem-b): sterownik 1: p.prg\n"
       "Uwagi programu q.prg: 1\n"},
      {SiteCommand::kClockSet,
       "Plan: ustawienie zegara\n"
       "linia a (mem-a): sterowniki 1-4, 7, 5-6\n"
       "linia b (mem-b): sterownik 1\n"},
  };
  for (const auto& plan : kPlans) {
    SiteRun operation(Settings(plan.command));
    ASSERT_EQ(operation.Prepare(), SitePreparation::kReady);
    EXPECT_EQ(operation.PlanText(), plan.text);
  }
  SiteRun first(Settings(SiteCommand::kStatus));
  ASSERT_EQ(first.Prepare(), SitePreparation::kReady);
  ASSERT_TRUE(first.Start());
  first.Finish();
  SiteRun next(Settings(SiteCommand::kStatus));
  EXPECT_EQ(next.Prepare(), SitePreparation::kReady) << next.refusal();
  EXPECT_EQ(first.Finish().size(), 8u);
}

// A run killed outright leaves no lock behind.
TEST_F(SiteRunTest, LockEndsWithAKilledProcess) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    SiteLock lock;
    const char taken = lock.Take(dir_ / "site.txt") == SiteLock::Result::kTaken;
    if (write(ready[1], &taken, 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  char taken = 0;
  ASSERT_EQ(read(ready[0], &taken, 1), 1);
  ASSERT_TRUE(taken);
  SiteLock lock;
  EXPECT_EQ(lock.Take(dir_ / "site.txt"), SiteLock::Result::kHeld);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(lock.Take(dir_ / "site.txt"), SiteLock::Result::kTaken);
  close(ready[0]);
  close(ready[1]);
  SiteLock nowhere;
  EXPECT_EQ(nowhere.Take(dir_ / "no-folder" / "site.txt"),
            SiteLock::Result::kFailed);
  EXPECT_FALSE(nowhere.error().empty());
}

TEST_F(SiteRunTest, EachProgramFileIsReadOnceForTheRun) {
  WriteSite("[line a]\nport = mem-a\ncontrollers = 1\nprogram = p.prg\n");
  const std::string sum = *Sha256OfFile(dir_ / "p.prg");
  SiteRun operation(Settings(SiteCommand::kUpload));
  ASSERT_EQ(operation.Prepare(), SitePreparation::kReady);
  // Changed after the plan was shown: the run keeps what it read.
  ASSERT_TRUE(SaveProgramFile(Program(7), dir_ / "p.prg"));
  ASSERT_TRUE(operation.Start());
  const std::vector<SiteRow> rows = operation.Finish();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].outcome, SiteOutcome::kVerified) << rows[0].failure;
  EXPECT_EQ(rows[0].program_sha256, sum);
  EXPECT_TRUE(Holds(a_, program_));
  EXPECT_EQ(Journal().back().program_sha256, sum);
}

// The journal and the report name their file and the system's reason.
TEST_F(SiteRunTest, JournalThatCannotBeWrittenSendsNothing) {
  WriteSite("[line a]\nport = mem-a\ncontrollers = 1\nprogram = p.prg\n");
  fs::create_directories(dir_ / "site.txt.journal");
  PortOwners owners;
  SiteRunSettings settings = Settings(SiteCommand::kUpload);
  settings.port_owners = &owners;
  settings.owner = "obiekt";
  SiteRun operation(std::move(settings));
  ASSERT_EQ(operation.Prepare(), SitePreparation::kReady);
  EXPECT_FALSE(operation.Start());
  EXPECT_EQ(operation.refusal(), "Błąd zapisu dziennika " +
                                     (dir_ / "site.txt.journal").string() +
                                     ": Is a directory; nic nie zostało "
                                     "wysłane.");
  EXPECT_TRUE(a_.requests().empty());
  fs::create_directories(dir_ / "r.csv");
  std::string error;
  EXPECT_FALSE(operation.WriteReport(dir_ / "r.csv", error));
  EXPECT_EQ(error, "Błąd zapisu pliku ! " + (dir_ / "r.csv").string() +
                       ": Is a directory");
  // The refused run holds its port no longer: the window's job may take it.
  EXPECT_FALSE(owners.Take("okno", {"mem-a"}, {}));
}

// A line of the journal that is not the journal's is told before the plan,
// on the command line and in the window's question alike.
TEST_F(SiteRunTest, ResumeWarnsOfAJournalLineItSkips) {
  WriteSite("[line a]\nport = mem-a\ncontrollers = 1\nprogram = p.prg\n");
  std::ofstream(dir_ / "site.txt.journal") << "nie wpis\n";
  SiteRunSettings settings = Settings(SiteCommand::kUpload);
  settings.resume = true;
  SiteRun operation(std::move(settings));
  ASSERT_EQ(operation.Prepare(), SitePreparation::kReady);
  const std::string warning = "wiersz 1: nie jest wpisem dziennika, pominięty.";
  ASSERT_FALSE(operation.notes().empty());
  EXPECT_NE(operation.notes().front().find(warning), std::string::npos);
  EXPECT_NE(operation.PlanQuestion().find(warning), std::string::npos);
}

// A reply that lands nowhere (another code than the one asked for, its bytes
// those of the program) leaves its slot unread: the controller must not
// count as holding the program.
TEST_F(SiteRunTest, VerifyNeverCountsAnUnreadSlotEqual) {
  WriteSite("[line a]\nport = mem-a\ncontrollers = 1\nprogram = p.prg\n");
  SimControllerState state = a_.State();
  std::copy_n(program_.image().begin(), kProgramBytes, state.image.begin());
  a_.SetState(state);
  for (const bool recoded : {false, true}) {
    SCOPED_TRACE(recoded ? "one reply recoded" : "every reply as asked");
    if (recoded) {
      // ReadCommand of slot 1/3 to controller 1, answered as ReadVersion.
      opens_.answer_to = {0x88, 0xFF, 1, 4, kReadCommandCode, 0, 2};
      const Command slot = program_.CommandAt(0, 2);
      opens_.answer = {0x88,      0xFF,        1,          5, kReadVersionCode,
                       slot.code, slot.param1, slot.param2};
      opens_.answer.push_back(FrameSum(opens_.answer));
    }
    SiteRun operation(Settings(SiteCommand::kVerify));
    ASSERT_EQ(operation.Prepare(), SitePreparation::kReady);
    ASSERT_TRUE(operation.Start());
    const std::vector<SiteRow> rows = operation.Finish();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].outcome,
              recoded ? SiteOutcome::kDiffers : SiteOutcome::kDone)
        << rows[0].failure;
  }
}

}  // namespace
}  // namespace lumera
