#include "core/site/site_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "core/model/comment_file.h"
#include "core/model/program_file.h"
#include "support/in_memory_controller.h"

namespace lumera {
namespace {

// The system's port, but its first `refusals` opens fail as a busy network
// serial server's do.
class RefusingPort : public SerialPort {
 public:
  RefusingPort(std::unique_ptr<SerialPort> port, std::atomic<int>& refusals,
               std::atomic<int>& opens, int error)
      : refusals_(refusals),
        opens_(opens),
        error_(error),
        port_(std::move(port)) {}
  bool Open(std::string_view name) override {
    ++opens_;
    if (refusals_.fetch_sub(1) > 0) {
      failure_ = PortFailure{kOpenPortFailedText, error_, "refused"};
      return false;
    }
    return port_->Open(name);
  }
  bool SetBuffers(int i, int o) override { return port_->SetBuffers(i, o); }
  bool SetLine(const LineSettings& s) override { return port_->SetLine(s); }
  bool SetTimeouts(const SerialTiming& t) override {
    return port_->SetTimeouts(t);
  }
  void Purge() override { port_->Purge(); }
  int Write(std::span<const std::uint8_t> b) override {
    return port_->Write(b);
  }
  ReadResult ReadByte() override { return port_->ReadByte(); }
  void Close() override { port_->Close(); }
  bool IsOpen() const override { return port_->IsOpen(); }
  const PortFailure& LastFailure() const override {
    return failure_.system_error != 0 && !port_->IsOpen()
               ? failure_
               : port_->LastFailure();
  }

 private:
  std::atomic<int>& refusals_;
  std::atomic<int>& opens_;
  int error_;
  PortFailure failure_;
  std::unique_ptr<SerialPort> port_;
};

// Each line's port name leads to its own controller.
std::function<std::unique_ptr<SerialPort>()> PortsOf(
    std::vector<std::pair<std::string, InMemoryController*>> lines) {
  class NamedPort : public SerialPort {
   public:
    explicit NamedPort(
        std::vector<std::pair<std::string, InMemoryController*>> lines)
        : lines_(std::move(lines)) {}
    bool Open(std::string_view name) override {
      for (auto& [line_port, controller] : lines_) {
        if (line_port == name) port_ = controller->MakePort();
      }
      return port_ != nullptr && port_->Open(name);
    }
    bool SetBuffers(int i, int o) override { return port_->SetBuffers(i, o); }
    bool SetLine(const LineSettings& s) override { return port_->SetLine(s); }
    bool SetTimeouts(const SerialTiming& t) override {
      return port_->SetTimeouts(t);
    }
    void Purge() override { port_->Purge(); }
    int Write(std::span<const std::uint8_t> b) override {
      return port_->Write(b);
    }
    ReadResult ReadByte() override { return port_->ReadByte(); }
    void Close() override {
      if (port_) port_->Close();
    }
    bool IsOpen() const override { return port_ && port_->IsOpen(); }
    const PortFailure& LastFailure() const override {
      return port_ ? port_->LastFailure() : none_;
    }

   private:
    std::vector<std::pair<std::string, InMemoryController*>> lines_;
    std::unique_ptr<SerialPort> port_;
    PortFailure none_;
  };
  return [lines] { return std::make_unique<NamedPort>(lines); };
}

TEST(SiteRunTest, RefusedConnectionIsRetriedWithinItsTimeOnly) {
  struct Case {
    const char* name;
    int refusals;
    int error;
    int retry_ms;
    SiteOutcome first;
    bool retried;  // more than one open for the first controller
  };
  const Case cases[] = {
      {"busy server, then free", 3, ECONNREFUSED, 2000, SiteOutcome::kDone,
       true},
      {"dropped at once, then free", 2, ECONNRESET, 2000, SiteOutcome::kDone,
       true},
      {"dropped while greeting, then free", 1, EPIPE, 2000, SiteOutcome::kDone,
       true},
      {"busy for longer than the retry", 1000, ECONNREFUSED, 300,
       SiteOutcome::kFailed, true},
      {"no permission: not retried", 1, EACCES, 2000, SiteOutcome::kFailed,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InMemoryController controller;
    SiteFile site;
    site.lines.push_back({"a", "mem-a", false, {{1, {}, {}}, {2, {}, {}}}, 1});
    std::atomic<int> refusals{c.refusals};
    std::atomic<int> opens{0};
    SiteRunOptions options;
    options.command = SiteCommand::kStatus;
    options.timeout_ms = 200;
    options.refused_retry_ms = c.retry_ms;
    options.create_port = [&] {
      return std::make_unique<RefusingPort>(controller.MakePort(), refusals,
                                            opens, c.error);
    };
    SiteRun run(site, std::move(options));
    run.Start();
    run.Join();
    const std::vector<SiteRow> rows = run.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].outcome, c.first) << rows[0].failure;
    if (c.first == SiteOutcome::kFailed) {
      EXPECT_NE(rows[0].failure.find("refused"), std::string::npos);
      // A port that cannot be opened fails the rest of its line alike.
      EXPECT_EQ(rows[1].failure, rows[0].failure);
      if (c.retried) {
        EXPECT_GT(opens.load(), 1);
      } else {
        EXPECT_EQ(opens.load(), 1);
      }
    } else {
      // Three jobs for the status of 1; 2 is silent to its first.
      EXPECT_EQ(rows[1].outcome, SiteOutcome::kAbsent);
      EXPECT_EQ(opens.load(), c.refusals + 3 + 1);
    }
  }
}

}  // namespace
}  // namespace lumera

namespace lumera {
namespace {

// Under ThreadSanitizer: the lines' threads, the journal callback and the
// progress read beside them.
TEST(SiteRunTest, LinesRunTogetherAndEachWriteIsToldOnce) {
  InMemoryController first;
  InMemoryController second;
  const std::filesystem::path program =
      std::filesystem::temp_directory_path() /
      ("lumera-site-run-" + std::to_string(::getpid()) + ".prg");
  ProgramStore store;
  for (int k = 0; k < 20; ++k) {
    store.SetCommand(0, k, Command{static_cast<std::uint8_t>(k), 1, 2});
  }
  ASSERT_TRUE(SaveProgramFile(store, program));
  SiteFile site;
  site.lines.push_back({"a", "mem-a", false, {{1, program, {}}}, 1});
  site.lines.push_back(
      {"b", "mem-b", false, {{2, program, {}}, {1, program, {}}}, 5});
  SiteRunOptions options;
  options.create_port = PortsOf({{"mem-a", &first}, {"mem-b", &second}});
  options.command = SiteCommand::kUpload;
  options.timeout_ms = 200;
  std::vector<std::string> writes;
  options.on_write = [&](const SiteRow& row, std::string_view job) {
    writes.push_back(row.line + "/" + std::to_string(row.controller) + " " +
                     std::string(job) + " " +
                     std::string(SiteOutcomeText(row.outcome)));
  };
  SiteRun run(site, std::move(options));
  run.Start();
  int totals = 0;
  while (!run.Finished()) {
    totals = 0;
    for (const SiteLineProgress& p : run.Progress()) totals += p.total;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  run.Join();
  EXPECT_EQ(totals, 3);
  std::vector<std::string> rows;
  for (const SiteRow& row : run.Rows()) {
    rows.push_back(row.line + "/" + std::to_string(row.controller) + " " +
                   std::string(SiteOutcomeText(row.outcome)));
  }
  EXPECT_EQ(rows,
            (std::vector<std::string>{"a/1 zweryfikowany", "b/2 nieobecny",
                                      "b/1 zweryfikowany"}));
  std::sort(writes.begin(), writes.end());
  EXPECT_EQ(writes, (std::vector<std::string>{"a/1 upload zweryfikowany",
                                              "b/1 upload zweryfikowany"}));
  EXPECT_EQ(first.State().image[3 * 19], 19);
  std::filesystem::remove(program);
  std::filesystem::remove(CommentFileName(program));
}

}  // namespace
}  // namespace lumera

namespace lumera {
namespace {

// What ends a line early: --stop-at-first ends only the line that failed;
// an interrupt ends every line, the current request included.
TEST(SiteRunTest, StopAtFirstEndsItsLineAndAnInterruptEndsAll) {
  for (const bool interrupt : {false, true}) {
    SCOPED_TRACE(interrupt ? "interrupt" : "stop at first");
    InMemoryController first;
    InMemoryController second;
    SiteFile site;
    site.lines.push_back({"a", "mem-a", false, {{2, {}, {}}, {1, {}, {}}}, 1});
    site.lines.push_back({"b", "mem-b", false, {{1, {}, {}}}, 4});
    SiteRunOptions options;
    options.create_port = PortsOf({{"mem-a", &first}, {"mem-b", &second}});
    options.command = SiteCommand::kStatus;
    options.timeout_ms = 200;
    options.stop_at_first = !interrupt;
    SiteRun run(site, std::move(options));
    std::atomic<bool> asked{false};
    if (interrupt) {
      // The interrupt comes while line b waits for its first reply.
      second.SetFault(FaultKind::kSilence, 1);
      second.SetHook([&](const InMemoryController::Request&) {
        if (!asked.exchange(true)) run.Abort();
      });
    }
    run.Start();
    run.Join();
    std::vector<std::string> rows;
    for (const SiteRow& row : run.Rows()) {
      rows.push_back(row.line + "/" + std::to_string(row.controller) + " " +
                     std::string(SiteOutcomeText(row.outcome)) + " " +
                     row.failure);
    }
    const std::string absent =
        "a/2 nieobecny Błąd odczytu pakietu: pakiet za krótki !";
    if (interrupt) {
      EXPECT_EQ(rows[1], "a/1 pominięty Operacja przerwana !");
      EXPECT_EQ(rows[2].substr(0, 4), "b/1 ");
      EXPECT_NE(rows[2].find("Operacja przerwana !"), std::string::npos);
    } else {
      EXPECT_EQ(rows,
                (std::vector<std::string>{absent,
                                          "a/1 pominięty pominięty po błędzie "
                                          "(--stop-at-first)",
                                          "b/1 ok "}));
    }
  }
}

}  // namespace
}  // namespace lumera
