// Every fault a line can show, in every kind of job: lumera-cli against
// lumera-sim spoiling the reply to one request. Each job must end with the
// link's text and exit code 1 (or succeed where the line still delivered a
// sound reply), leave the files as they were, and let the next job on the
// same COM name work. The spoilt job reads with a time-out of 400 ms; the
// next one keeps the usual 3 s, as the machine may be busy.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "cli_process.h"
#include "core/link/frames.h"
#include "core/link/transfer_job.h"
#include "core/model/program_file.h"
#include "core/session/workspace.h"

namespace lumera {
namespace {

using namespace e2e;  // NOLINT: the processes of every case

constexpr int kTimeoutMs = 400;
// Delays on either side of the time-out, and a pause well past it.
constexpr int kJustBeforeMs = 100;
// Past the time-out, yet within the twice the time-out a radio request may
// go unanswered.
constexpr int kJustAfterMs = 600;

enum class End {
  kSuccess,
  kShort,     // "Błąd odczytu pakietu: pakiet za krótki !"
  kChecksum,  // "Błąd sumy kontrolnej !"
  kAborted,   // "Operacja przerwana !"
};

std::string_view TextOf(End end) {
  switch (end) {
    case End::kSuccess:
      return kSuccessText;
    case End::kShort:
      return kReplyTooShortText;
    case End::kChecksum:
      return kReplyChecksumText;
    case End::kAborted:
      return kAbortText;
  }
  return {};
}

enum class Line { kDirect, kRadio, kRadioAll };

struct Job {
  std::string name;
  Line line;
  std::vector<std::string> args;
  int fault_at;        // the request whose reply is spoilt
  std::string output;  // the file a successful job writes, if any
};

struct Fault {
  std::string name;
  std::vector<std::string> sim_args;
  bool abort;  // the test interrupts the job when the fault hits
};

const Job kJobs[] = {
    {"download",
     Line::kDirect,
     {"download", "d.prg", "--segment", "2"},
     3,
     "d.prg"},
    {"upload", Line::kDirect, {"upload", "p.prg", "--segment", "2"}, 3, ""},
    {"verify", Line::kDirect, {"verify", "p.prg", "--segment", "2"}, 3, ""},
    {"config read", Line::kDirect, {"config", "read", "c.prg"}, 2, "c.prg"},
    {"config write", Line::kDirect, {"config", "write", "p.prg"}, 2, ""},
    {"step", Line::kDirect, {"step", "--segment", "2"}, 2, ""},
    {"radio download",
     Line::kRadio,
     {"--radio", "download", "d.prg", "--segment", "2"},
     3,
     "d.prg"},
    {"radio all run",
     Line::kRadioAll,
     {"--radio", "--all", "run", "2", "1"},
     1,
     ""},
};

const Fault kFaults[] = {
    {"checksum", {"--fault", "checksum"}, false},
    {"cut", {"--fault", "cut"}, false},
    {"extra", {"--fault", "extra"}, false},
    {"stray", {"--fault", "stray"}, false},
    {"silence", {"--fault", "silence"}, false},
    {"just before time-out",
     {"--fault", "delay", "--fault-ms", std::to_string(kJustBeforeMs)},
     false},
    {"just after time-out",
     {"--fault", "delay", "--fault-ms", std::to_string(kJustAfterMs)},
     false},
    {"pause",
     {"--fault", "pause", "--fault-ms", std::to_string(kJustAfterMs)},
     false},
    {"hang-up", {"--fault", "hangup"}, false},
    {"abort in reply", {"--fault", "pause", "--fault-ms", "200"}, true},
};

// How a job on `line` ends with `fault`; nothing where the cell does not
// apply.
std::optional<End> Expected(Line line, const std::string& fault) {
  if (line == Line::kRadioAll) {
    // No request waits for a reply, so nothing spoils the job: its one
    // frame is out before the line hangs up.
    if (fault == "abort in reply") return std::nullopt;
    return End::kSuccess;
  }
  if (fault == "checksum") return End::kChecksum;
  if (fault == "just before time-out") return End::kSuccess;
  // The abort ends the read in the pause, and the job as aborted.
  if (fault == "abort in reply") return End::kAborted;
  if (line == Line::kRadio) {
    if (fault == "extra" || fault == "hang-up") return End::kShort;
    // Noise before the envelope is skipped, and empty reads are waited
    // through, so late or paused replies still arrive.
    if (fault == "stray" || fault == "just after time-out" ||
        fault == "pause") {
      return End::kSuccess;
    }
    // Cut, silence: nobody waits at a command line, so a request left
    // unanswered for twice the time-out ends the job.
    return End::kShort;
  }
  return End::kShort;
}

// The program every controller of a cell holds and every file starts from:
// ten commands in segment 2, so a verify of it reads ten rows.
std::unique_ptr<Workspace> Program() {
  auto ws = std::make_unique<Workspace>();
  for (int k = 0; k < 10; ++k) {
    ws->store.SetCommand(1, k,
                         Command{static_cast<std::uint8_t>(k % 45), 1, 2});
  }
  return ws;
}

struct Outcome {
  int exit_code = -1;
  std::string first_err_line;
  std::string first_out_line;
};

// `timeout_ms` 0: the usual read time-out.
Outcome RunJob(const TempFolder& folder, Sim& sim,
               std::vector<std::string> args, bool abort, int timeout_ms) {
  if (timeout_ms > 0) {
    args.insert(args.begin(), {"--timeout-ms", std::to_string(timeout_ms)});
  }
  args = WithPort(sim, args);
  Outcome outcome;
  CliResult result;
  if (!abort) {
    result = RunCliProcess(folder, args);
  } else {
    const fs::path out_file = folder.path() / "cli.out";
    const fs::path err_file = folder.path() / "cli.err";
    const pid_t pid = fork();
    if (pid == 0) {
      const int out =
          open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err =
          open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(out, STDOUT_FILENO);
      dup2(err, STDERR_FILENO);
      ExecCliInChild(folder, args);
    }
    // Ctrl-C the moment the spoilt reply starts.
    EXPECT_TRUE(sim.WaitForLine("fault", 5000));
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadAll(out_file);
    result.err = ReadAll(err_file);
  }
  outcome.exit_code = result.exit_code;
  const auto err = Lines(result.err);
  const auto out = Lines(result.out);
  if (!err.empty()) outcome.first_err_line = err[0];
  if (!out.empty()) outcome.first_out_line = out[0];
  return outcome;
}

void RunCell(const Job& job, const Fault& fault, End expected) {
  SCOPED_TRACE(job.name + " / " + fault.name);
  TempFolder folder;
  auto ws = Program();
  const fs::path program = folder.path() / "p.prg";
  ASSERT_TRUE(SaveProgramFile(ws->store, program));
  const fs::path state = folder.path() / "state.img";
  fs::copy_file(program, state);
  const std::string program_bytes = ReadAll(program);

  std::vector<std::string> sim_args = {"--state", state.string(), "--fault-at",
                                       std::to_string(job.fault_at)};
  if (job.line != Line::kDirect) sim_args.push_back("--radio");
  sim_args.insert(sim_args.end(), fault.sim_args.begin(), fault.sim_args.end());
  Sim sim(folder, sim_args);
  ASSERT_GT(sim.port(), 0);

  const Outcome first =
      RunJob(folder, sim, job.args, fault.abort, fault.abort ? 0 : kTimeoutMs);
  EXPECT_EQ(first.exit_code, expected == End::kSuccess ? 0 : 1);
  if (expected == End::kSuccess) {
    EXPECT_EQ(first.first_out_line, kSuccessText);
  } else {
    EXPECT_EQ(first.first_err_line, TextOf(expected));
    EXPECT_EQ(first.first_out_line, "");
  }
  // A failed job writes no file; the program file is never touched.
  if (!job.output.empty()) {
    EXPECT_EQ(fs::exists(folder.path() / job.output),
              expected == End::kSuccess);
    fs::remove(folder.path() / job.output);
  }
  EXPECT_EQ(ReadAll(program), program_bytes);

  // The spoilt reply is all out (or the line is back) before the next job.
  EXPECT_TRUE(sim.WaitForLine("done", 5000));
  const Outcome next = RunJob(folder, sim, job.args, false, 0);
  EXPECT_EQ(next.exit_code, 0) << next.first_err_line;
  EXPECT_EQ(next.first_out_line, kSuccessText);
  if (!job.output.empty()) {
    EXPECT_TRUE(fs::exists(folder.path() / job.output));
  }
}

TEST(LineFaults, EveryFaultInEveryJobEndsRight) {
  struct Cell {
    Job job;
    Fault fault;
    End expected;
  };
  std::vector<Cell> cells;
  for (const Job& job : kJobs) {
    for (const Fault& fault : kFaults) {
      const std::optional<End> expected = Expected(job.line, fault.name);
      if (expected) cells.push_back({job, fault, *expected});
    }
  }
  // A radio reply that never comes is waited for until the user aborts,
  // which ends the wait at once.
  cells.push_back({kJobs[6],
                   Fault{"abort in reply", {"--fault", "silence"}, true},
                   End::kAborted});
  // The abort during the controller wait after a restart.
  cells.push_back({Job{"restart", Line::kDirect, {"restart"}, 1, ""},
                   Fault{"abort in wait", {"--fault", "mark"}, true},
                   End::kAborted});

  // Each cell has its own folder, simulator and COM name, and most of a
  // cell is waiting for a time-out: four at a time keep the run short.
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 4; ++i) {
    workers.emplace_back([&] {
      for (std::size_t c; (c = next++) < cells.size();) {
        RunCell(cells[c].job, cells[c].fault, cells[c].expected);
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
}

}  // namespace
}  // namespace lumera
