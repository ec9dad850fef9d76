#include "core/session/job_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "core/link/frames.h"
#include "core/session/workspace.h"
#include "support/fake_job_prompts.h"
#include "support/fake_serial_port.h"
#include "support/forwarding_port.h"

namespace lumera {
namespace {

struct ReportCase {
  const char* what;
  std::string status;
  int system_error;
  std::string reason;
  std::string expected;
};

class FailureReport : public testing::TestWithParam<ReportCase> {};

TEST_P(FailureReport, GivesStatusThenTheSystemsReason) {
  const ReportCase& c = GetParam();
  JobRunResult outcome;
  outcome.started = true;
  outcome.status = c.status;
  outcome.port_failure.system_error = c.system_error;
  outcome.port_failure.reason = c.reason;
  EXPECT_EQ(outcome.FailureReport(), c.expected) << c.what;
}

const std::string kDialout =
    " (dodaj użytkownika do grupy dialout: sudo usermod -aG dialout $USER, "
    "potem zaloguj się ponownie)";

INSTANTIATE_TEST_SUITE_P(
    Reasons, FailureReport,
    testing::Values(
        ReportCase{"no port failure", "Błąd sumy kontrolnej !", 0, "",
                   "Błąd sumy kontrolnej !"},
        ReportCase{"missing device", "Błąd otwarcia portu !", ENOENT,
                   "COM9: No such file or directory",
                   "Błąd otwarcia portu !\nCOM9: No such file or directory"},
        ReportCase{"permission", "Błąd otwarcia portu !", EACCES,
                   "/dev/ttyUSB0: Permission denied",
                   "Błąd otwarcia portu !\n/dev/ttyUSB0: Permission denied" +
                       kDialout},
        ReportCase{
            "error without text", "Błąd pisania do portu !", EIO, "",
            "Błąd pisania do portu !\n" + std::string(std::strerror(EIO))}),
    [](const testing::TestParamInfo<ReportCase>& info) {
      return "Case" + std::to_string(info.index);
    });

// A line that keeps quiet as a real one does: each empty read lasts the
// read time-out.
class SlowPort : public ForwardingPort {
 public:
  using ForwardingPort::ForwardingPort;
  ReadResult ReadByte() override {
    const ReadResult r = ForwardingPort::ReadByte();
    if (r.status == ReadStatus::kTimeout) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return r;
  }
};

// How a job that nobody answers ends on the caller's thread: a radio
// request left without its reply ends after twice the reply time-out, with
// the short-packet text; a direct request after its own time-out; an abort
// as an abort, never as silence.
TEST(JobRunnerTest, AnUnansweredRadioRequestEndsTheJob) {
  struct Case {
    const char* what;
    bool radio;
    bool abort;
    bool unanswered;
    bool aborted;
  };
  const Case cases[] = {
      {"radio, its reply stalled after one byte", true, false, true, true},
      {"direct, silent", false, false, false, false},
      {"radio, aborted by the caller", true, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSerialPort port;
    port.on_write = [](std::span<const std::uint8_t>, FakeSerialPort& p) {
      p.Feed(std::array<std::uint8_t, 1>{0x88});
    };
    Workspace workspace;
    workspace.settings.radio_option = c.radio ? 1 : 0;
    FakeJobPrompts prompts;
    std::atomic<int> polls{0};
    JobRunnerSettings settings;
    settings.port.create = [&] { return std::make_unique<SlowPort>(port); };
    settings.port.timing.read_constant_ms = 20;
    settings.abort_requested = [&] { return c.abort && ++polls > 5; };
    JobRunner runner(workspace, prompts, std::move(settings));
    const JobRunResult result = runner.Run([](LinkContext& context) {
      return StartSingleRequest(context, {.direction = JobDirection::kReceive},
                                RequestCode::kReadVersion);
    });
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(result.unanswered, c.unanswered);
    EXPECT_EQ(result.outcome.aborted(), c.aborted);
    if (!c.abort) {
      EXPECT_EQ(result.status, kReplyTooShortText);
    }
  }
}

// Each refusal tells its own reason: a job refused without a word after one
// refused with a warning does not repeat that warning.
TEST(JobRunnerTest, ARefusalReportsItsOwnWarningOnly) {
  Workspace workspace;
  FakeJobPrompts prompts;
  JobRunner runner(workspace, prompts, {});
  const JobRunResult warned = runner.Run([](LinkContext& context) {
    context.prompts.ShowWarning("ostrzeżenie");
    return false;
  });
  EXPECT_TRUE(warned.refused);
  EXPECT_EQ(warned.status, "ostrzeżenie");
  const JobRunResult silent = runner.Run([](LinkContext&) { return false; });
  EXPECT_FALSE(silent.refused);
  EXPECT_EQ(silent.status, kNotDoneText);
  EXPECT_EQ(prompts.warnings, std::vector<std::string>{"ostrzeżenie"});
}

}  // namespace
}  // namespace lumera
