#include "core/site/run/site_lines.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "core/model/comment_file.h"
#include "core/model/program_file.h"
#include "core/site/run/site_programs.h"
#include "site_line_ports.h"

namespace lumera {
namespace {

TEST(SiteLinesTest, RefusedConnectionIsRetriedWithinItsTimeOnly) {
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
    const Lines lines{{"mem-a", &controller}};
    Opens opens;
    opens.left = c.refusals;
    opens.error = c.error;
    SiteRunSettings settings;
    settings.command = SiteCommand::kStatus;
    settings.timeout_ms = 200;
    settings.refused_retry_ms = c.retry_ms;
    settings.create_port = PortsOf(lines, opens);
    SiteLines run(site, settings, {});
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
        EXPECT_GT(opens.count.load(), 1);
      } else {
        EXPECT_EQ(opens.count.load(), 1);
      }
    } else {
      // Three jobs for the status of 1; 2 is silent to its first.
      EXPECT_EQ(rows[1].outcome, SiteOutcome::kAbsent);
      EXPECT_EQ(opens.count.load(), c.refusals + 3 + 1);
    }
  }
}

// Each line's events in the order they came, under the run's own lock.
class RecordedEvents : public SiteRunEvents {
 public:
  explicit RecordedEvents(std::size_t lines) : lines_(lines) {}
  void ControllerBegun(std::size_t line, int controller,
                       const SiteLineProgress& progress) override {
    lines_[line].push_back("begun " + std::to_string(controller) + " " +
                           std::to_string(progress.done));
  }
  void ControllerEnded(std::size_t line, const SiteRow& row,
                       const SiteLineProgress& progress) override {
    lines_[line].push_back("ended " + std::to_string(row.controller) + " " +
                           std::string(SiteOutcomeText(row.outcome)) + " " +
                           std::to_string(progress.done));
  }
  void RunEnded() override {
    for (auto& line : lines_) line.push_back("run ended");
  }
  const std::vector<std::vector<std::string>>& lines() const { return lines_; }

 private:
  std::vector<std::vector<std::string>> lines_;
};

// Under ThreadSanitizer: the lines' threads, the journal's hooks, the events
// and the progress read beside them. A write is told before it begins (and
// held back when the hook refuses it) and once more when it has ended.
TEST(SiteLinesTest, LinesRunTogetherAndEachWriteIsToldBeforeAndAfter) {
  InMemoryController first;
  InMemoryController second;
  InMemoryController third;
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
  site.lines.push_back({"c", "mem-c", false, {{1, program, {}}}, 9});
  SitePrograms programs;
  std::filesystem::path unreadable;
  ASSERT_TRUE(programs.Load(site, unreadable));
  SiteRunSettings settings;
  SiteLinesHooks hooks;
  const Lines lines{{"mem-a", &first}, {"mem-b", &second}, {"mem-c", &third}};
  Opens opens;
  settings.create_port = PortsOf(lines, opens);
  settings.command = SiteCommand::kUpload;
  settings.timeout_ms = 200;
  hooks.programs = &programs;
  std::vector<std::string> writes;
  hooks.on_begun = [&](const SiteRow& row, std::string_view job) {
    const std::string name = row.line + "/" + std::to_string(row.controller);
    writes.push_back(name + " " + std::string(job) + " begun");
    return row.line == "c" ? std::string("dziennik pełny") : std::string();
  };
  hooks.on_write = [&](const SiteRow& row, std::string_view job) {
    writes.push_back(row.line + "/" + std::to_string(row.controller) + " " +
                     std::string(job) + " " +
                     std::string(SiteOutcomeText(row.outcome)));
  };
  RecordedEvents events(site.lines.size());
  settings.events = &events;
  SiteLines run(site, settings, std::move(hooks));
  run.Start();
  int totals = 0;
  while (!run.Finished()) {
    totals = 0;
    for (const SiteLineProgress& p : run.Progress()) totals += p.total;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  run.Join();
  EXPECT_EQ(totals, 4);
  std::vector<std::string> rows;
  for (const SiteRow& row : run.Rows()) {
    rows.push_back(row.line + "/" + std::to_string(row.controller) + " " +
                   std::string(SiteOutcomeText(row.outcome)));
  }
  EXPECT_EQ(rows,
            (std::vector<std::string>{"a/1 zweryfikowany", "b/2 nieobecny",
                                      "b/1 zweryfikowany", "c/1 błąd"}));
  EXPECT_EQ(run.Rows()[3].failure, "dziennik pełny");
  std::sort(writes.begin(), writes.end());
  EXPECT_EQ(writes, (std::vector<std::string>{
                        "a/1 upload begun", "a/1 upload zweryfikowany",
                        "b/1 upload begun", "b/1 upload zweryfikowany",
                        "c/1 upload begun"}));
  // The run's end is told once, after every line's last: after it the run
  // may be finished.
  EXPECT_EQ(
      events.lines()[1],
      (std::vector<std::string>{"begun 2 0", "ended 2 nieobecny 1", "begun 1 1",
                                "ended 1 zweryfikowany 2", "run ended"}));
  for (const auto& line : events.lines()) {
    EXPECT_EQ(std::count(line.begin(), line.end(), "run ended"), 1);
    EXPECT_EQ(line.back(), "run ended");
  }
  EXPECT_EQ(first.State().image[3 * 19], 19);
  // Held back: nothing was written.
  EXPECT_EQ(third.State().image[3 * 19], 0xFF);
  std::filesystem::remove(program);
  std::filesystem::remove(CommentFileName(program));
}

// What ends a line early: --stop-at-first ends only the line that failed;
// an interrupt ends every line, the current request included.
TEST(SiteLinesTest, StopAtFirstEndsItsLineAndAnInterruptEndsAll) {
  for (const bool interrupt : {false, true}) {
    SCOPED_TRACE(interrupt ? "interrupt" : "stop at first");
    InMemoryController first;
    InMemoryController second;
    SiteFile site;
    site.lines.push_back({"a", "mem-a", false, {{2, {}, {}}, {1, {}, {}}}, 1});
    site.lines.push_back({"b", "mem-b", false, {{1, {}, {}}}, 4});
    SiteRunSettings settings;
    const Lines lines{{"mem-a", &first}, {"mem-b", &second}};
    Opens opens;
    settings.create_port = PortsOf(lines, opens);
    settings.command = SiteCommand::kStatus;
    settings.timeout_ms = 200;
    settings.stop_at_first = !interrupt;
    SiteLines run(site, settings, {});
    std::atomic<bool> asked{false};
    if (interrupt) {
      // The interrupt comes while line b waits for its first reply; line a
      // is held in its first request until then, since the in-memory line
      // takes no time of its own.
      second.SetFault(FaultKind::kSilence, 1);
      second.SetHook([&](const InMemoryController::Request&) {
        if (!asked.exchange(true)) run.Abort();
      });
      first.SetHook([&](const InMemoryController::Request&) {
        for (int ms = 0; ms < 5000 && !asked; ++ms) {
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
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
