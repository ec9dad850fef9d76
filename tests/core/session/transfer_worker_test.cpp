// The worker's step machine against a scripted port: which port operations
// run in which order, the texts it leaves, and how each failure ends a job.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/link/frames.h"
#include "core/link/line_trace.h"
#include "core/link/transfer_job.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"
#include "support/fake_job_prompts.h"
#include "support/fake_serial_port.h"
#include "support/forwarding_port.h"
#include "support/reply_frames.h"

namespace lumera {
namespace {

using Bytes = std::vector<std::uint8_t>;

using NoPrompts = FakeJobPrompts;

class TransferWorkerTest : public testing::Test {
 protected:
  TransferWorkerTest() {
    PortAccess access;
    access.create = [this] { return std::make_unique<ForwardingPort>(port_); };
    job_.SetPortAccess(access);
    LineValues line;
    line.port_number = 3;
    line.controller_address = 7;
    job_.SetLineValues(line);
    // Every request with a reply is acknowledged; ReadVersion carries 0x21.
    port_.on_write = [](std::span<const std::uint8_t> frame,
                        FakeSerialPort& port) {
      const std::uint8_t code = frame[4];
      if (code == 93) {
        port.Feed(ReplyFrame(0x07, code, {0x21}));
      } else if (code != 64 && code != 81) {
        port.Feed(ReplyFrame(0x07, code, {}));
      }
    };
  }

  bool RunJob(JobOptions options, const std::vector<RequestCode>& codes) {
    if (!job_.Prepare(options, prompts_)) return false;
    for (RequestCode code : codes) {
      if (!job_.Queue(code)) return false;
    }
    if (!job_.Start(observer_)) return false;
    const bool ok = observer_.WaitForJob();
    job_.Join();
    return ok;
  }

  std::vector<std::string> Calls() const { return port_.calls; }

  FakeSerialPort port_;
  Workspace workspace_;
  NoPrompts prompts_;
  DirectObserver observer_{workspace_};
  TransferJob job_;
};

constexpr JobOptions kSend{JobDirection::kSend, false, false, false};
constexpr JobOptions kReceive{JobDirection::kReceive, false, false, false};

TEST_F(TransferWorkerTest, RunsThePortInJobOrder) {
  ASSERT_TRUE(
      RunJob(kSend, {RequestCode::kStopProgram, RequestCode::kResumeProgram}));
  const std::vector<std::string> expected = {
      "Open COM3", "SetBuffers 1024 1024",
      "SetLine",   "SetTimeouts",
      "Purge",     "Purge",
      "Write",     "Purge",
      "Write",     "Purge",
      "Close"};
  EXPECT_EQ(Calls(), expected);
  EXPECT_EQ(port_.line.baud_rate, 38400);
  EXPECT_EQ(port_.line.dtr, DtrMode::kDisabled);
  EXPECT_EQ(port_.timing.read_constant_ms, 3000u);
  ASSERT_EQ(port_.writes.size(), 2u);
  EXPECT_EQ(port_.writes[0], (Bytes{0x88, 0xFF, 0x07, 0x02, 0x60, 0xF0}));
  EXPECT_EQ(observer_.max_progress_reached(), 2);
  EXPECT_EQ(observer_.progress_maximum(), 2);
  EXPECT_EQ(observer_.progress_position(), 0);
  EXPECT_FALSE(job_.prepared());
  EXPECT_FALSE(job_.running());
  EXPECT_FALSE(job_.has_queued_requests());
}

struct StatusCase {
  const char* name;
  JobOptions options;
  std::vector<std::string> texts;
  std::uint8_t destination;
};

TEST_F(TransferWorkerTest, StatusTextsByJobKind) {
  const StatusCase cases[] = {
      {"send",
       kSend,
       {"Otwarcie portu szeregowego COM3",
        "Nadawanie przez COM3 do sterownika nr 7 ...",
        "Operacja zakończona pomyślnie."},
       7},
      {"send to all",
       {JobDirection::kSend, false, true, true},
       {"Otwarcie portu szeregowego COM3",
        "Nadawanie przez COM3 do sterownika nr 7 ...",
        std::string(kSuccessText)},
       255},
      {"receive",
       kReceive,
       {"Otwarcie portu szeregowego COM3",
        "Odbiór przez COM3 ze sterownika nr 7 ...", std::string(kSuccessText)},
       7},
      {"broadcast query",
       {JobDirection::kReceive, false, true, true},
       {"Otwarcie portu szeregowego COM3",
        "Zapytanie BROADCAST o numer sterownika...", std::string(kSuccessText)},
       255},
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.name);
    observer_.ClearRecord();
    port_.writes.clear();
    ASSERT_TRUE(RunJob(c.options, {RequestCode::kReadVersion}));
    EXPECT_EQ(observer_.status_lines(), c.texts);
    ASSERT_EQ(port_.writes.size(), 1u);
    EXPECT_EQ(port_.writes[0][2], c.destination);
  }
}

struct FailureCase {
  FakeSerialPort::FailAt fail_at;
  const char* text;
  std::vector<std::string> calls;
};

TEST_F(TransferWorkerTest, EachOpeningFailureEndsTheJobWithItsText) {
  const FailureCase cases[] = {
      {FakeSerialPort::FailAt::kOpen, "Błąd otwarcia portu !", {"Open COM3"}},
      {FakeSerialPort::FailAt::kSetBuffers,
       "Błąd bufora !",
       {"Open COM3", "SetBuffers 1024 1024", "Purge", "Close"}},
      {FakeSerialPort::FailAt::kSetLine,
       "Błąd parametrów transmisji !",
       {"Open COM3", "SetBuffers 1024 1024", "SetLine", "Purge", "Close"}},
      {FakeSerialPort::FailAt::kSetTimeouts,
       "Błąd ustawiania czasów !",
       {"Open COM3", "SetBuffers 1024 1024", "SetLine", "SetTimeouts", "Purge",
        "Close"}},
      {FakeSerialPort::FailAt::kWrite,
       "Błąd pisania do portu !",
       {"Open COM3", "SetBuffers 1024 1024", "SetLine", "SetTimeouts", "Purge",
        "Purge", "Write", "Purge", "Close"}},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.text);
    port_ = FakeSerialPort();
    port_.fail_at = c.fail_at;
    observer_.ClearRecord();
    EXPECT_FALSE(RunJob(
        kSend, {RequestCode::kStopProgram, RequestCode::kResumeProgram}));
    EXPECT_EQ(observer_.last_status(), c.text);
    EXPECT_EQ(Calls(), c.calls);
    EXPECT_EQ(observer_.refresh_main_status_calls(), 0);
    // The job is reset, so the next one is accepted.
    EXPECT_FALSE(job_.prepared());
  }
}

TEST_F(TransferWorkerTest, AShortWriteIsAWriteFailure) {
  port_.short_write = 3;
  EXPECT_FALSE(
      RunJob(kSend, {RequestCode::kStopProgram, RequestCode::kResumeProgram}));
  EXPECT_EQ(observer_.last_status(), "Błąd pisania do portu !");
  EXPECT_EQ(port_.writes.size(), 1u);
  EXPECT_EQ(observer_.max_progress_reached(), 0);
}

struct PortFailedCase {
  const char* name;
  std::function<void(FakeSerialPort&)> script;
  const char* text;
  bool port_failed;  // the job failed because the port did
  std::string_view message;
  int system_error;
};

// Why the port failed reaches the observer once, after the job's final text
// and before its end, and only when the port is to blame.
TEST_F(TransferWorkerTest, APortFailureIsToldWithTheSystemsReason) {
  const PortFailedCase cases[] = {
      {"open",
       [](FakeSerialPort& p) { p.fail_at = FakeSerialPort::FailAt::kOpen; },
       "Błąd otwarcia portu !", true, kOpenPortFailedText, 13},
      {"buffers",
       [](FakeSerialPort& p) {
         p.fail_at = FakeSerialPort::FailAt::kSetBuffers;
       },
       "Błąd bufora !", true, kSetBuffersFailedText, 13},
      {"line",
       [](FakeSerialPort& p) { p.fail_at = FakeSerialPort::FailAt::kSetLine; },
       "Błąd parametrów transmisji !", true, kSetLineFailedText, 13},
      {"time-outs",
       [](FakeSerialPort& p) {
         p.fail_at = FakeSerialPort::FailAt::kSetTimeouts;
       },
       "Błąd ustawiania czasów !", true, kSetTimeoutsFailedText, 13},
      {"write",
       [](FakeSerialPort& p) { p.fail_at = FakeSerialPort::FailAt::kWrite; },
       "Błąd pisania do portu !", true, kWriteFailedText, 13},
      {"read",
       [](FakeSerialPort& p) {
         p.on_write = nullptr;
         p.replies = {{FakeSerialPort::Byte(0x88), FakeSerialPort::Failure()}};
       },
       "Błąd odczytu pakietu: pakiet za krótki !",
       true,
       {},
       5},
      {"no reply",
       [](FakeSerialPort& p) { p.on_write = nullptr; },
       "Błąd odczytu pakietu: pakiet za krótki !",
       false,
       {},
       0},
      {"checksum",
       [](FakeSerialPort& p) {
         p.on_write = nullptr;
         Bytes reply = ReplyFrame(0x07, 96, {});
         reply.back() ^= 1;
         p.replies = {FakeSerialPort::Bytes(reply)};
       },
       "Błąd sumy kontrolnej !",
       false,
       {},
       0},
      {"success",
       [](FakeSerialPort&) {},
       "Operacja zakończona pomyślnie.",
       false,
       {},
       0},
  };
  for (const PortFailedCase& c : cases) {
    SCOPED_TRACE(c.name);
    port_ = FakeSerialPort();
    port_.on_write = [](std::span<const std::uint8_t> frame,
                        FakeSerialPort& port) {
      port.Feed(ReplyFrame(0x07, frame[4], {}));
    };
    c.script(port_);
    observer_.ClearRecord();
    int told = 0;
    observer_.on_port_failed = [&](const PortFailure&) {
      ++told;
      EXPECT_EQ(observer_.last_status(), c.text);
      EXPECT_FALSE(observer_.finished());
    };
    RunJob(kSend, {RequestCode::kStopProgram, RequestCode::kResumeProgram});
    EXPECT_EQ(observer_.last_status(), c.text);
    ASSERT_EQ(observer_.port_failure().has_value(), c.port_failed);
    EXPECT_EQ(told, c.port_failed ? 1 : 0);
    if (!c.port_failed) continue;
    EXPECT_EQ(observer_.port_failure()->message, c.message);
    EXPECT_EQ(observer_.port_failure()->system_error, c.system_error);
    EXPECT_NE(observer_.port_failure()->reason, "");
  }
  observer_.on_port_failed = nullptr;
}

TEST_F(TransferWorkerTest, RestartWaitsAndSendsNothingAfterIt) {
  ASSERT_TRUE(
      RunJob(kSend, {RequestCode::kStopProgram, RequestCode::kRestartController,
                     RequestCode::kResumeProgram}));
  EXPECT_EQ(port_.writes.size(), 2u);
  ASSERT_GE(observer_.status_lines().size(), 2u);
  EXPECT_EQ(observer_.status_lines()[observer_.status_lines().size() - 2],
            "  *** RESTART STEROWNIKA - POCZEKAJ! ***");
  EXPECT_EQ(observer_.last_status(), kSuccessText);
  // No post-processing and no page refresh after the wait.
  EXPECT_EQ(observer_.refresh_config_calls(), 0);
  EXPECT_EQ(observer_.refresh_main_status_calls(), 0);
  // The bar stays short of its end: the third frame never went out.
  EXPECT_EQ(observer_.max_progress_reached(), 2);
  EXPECT_EQ(observer_.progress_maximum(), 3);
}

TEST_F(TransferWorkerTest, AJobWithoutRepliesStillOpensAndCloses) {
  ASSERT_TRUE(RunJob(kSend, {RequestCode::kSetStopPoint}));
  EXPECT_EQ(port_.reads, 0);
  EXPECT_EQ(Calls().front(), "Open COM3");
  EXPECT_EQ(Calls().back(), "Close");
  EXPECT_EQ(observer_.refresh_main_status_calls(), 1);
}

TEST_F(TransferWorkerTest, ReplyOfASendJobIsCheckedButNotApplied) {
  const std::uint8_t before = workspace_.status.version_major;
  ASSERT_TRUE(RunJob(kSend, {RequestCode::kReadVersion}));
  EXPECT_EQ(workspace_.status.version_major, before);
  ASSERT_TRUE(RunJob(kReceive, {RequestCode::kReadVersion}));
  EXPECT_EQ(workspace_.status.version_major, 2);
  EXPECT_EQ(workspace_.status.version_minor, 1);
  // It read no program command: the editor's rows are left as they are.
  EXPECT_EQ(observer_.load_segment_calls(), 0);
}

TEST_F(TransferWorkerTest, RadioModeAllQueuesEveryRequestWithoutReply) {
  LineValues line = job_.line_values();
  line.radio.mode = RadioMode::kAll;
  job_.SetLineValues(line);
  ASSERT_TRUE(RunJob(
      kReceive, {RequestCode::kReadVersion, RequestCode::kReadConfiguration}));
  EXPECT_EQ(port_.reads, 0);
  EXPECT_EQ(port_.writes.size(), 2u);
  EXPECT_EQ(workspace_.status.version_major, 0);
}

TEST_F(TransferWorkerTest, PreparationGuards) {
  // One job at a time, refused silently.
  ASSERT_TRUE(job_.Prepare(kSend, prompts_));
  EXPECT_FALSE(job_.Prepare(kSend, prompts_));
  EXPECT_TRUE(prompts_.warnings.empty());
  job_.Cancel();
  EXPECT_FALSE(job_.prepared());
  EXPECT_FALSE(job_.Queue(RequestCode::kStopProgram));  // nothing prepared

  struct GuardCase {
    int address;
    bool radio;
    RadioMode mode;
    bool passes;
  };
  const GuardCase cases[] = {
      {7, false, RadioMode::kPoint, true},
      {255, false, RadioMode::kPoint, false},
      {7, false, RadioMode::kAll, true},
      {255, true, RadioMode::kPoint, true},
      {7, true, RadioMode::kAll, false},
  };
  for (const GuardCase& c : cases) {
    LineValues line;
    line.controller_address = c.address;
    line.radio.enabled = c.radio;
    line.radio.mode = c.mode;
    job_.SetLineValues(line);
    prompts_.warnings.clear();
    EXPECT_EQ(job_.Prepare(kSend, prompts_), c.passes) << c.address << c.radio;
    if (c.passes) {
      EXPECT_TRUE(prompts_.warnings.empty());
    } else {
      EXPECT_EQ(prompts_.warnings,
                std::vector<std::string>{
                    "Tego polecenia nie można wysyłać do wszystkich "
                    "sterowników !"});
    }
    job_.Cancel();
    // Skipping the guard always prepares.
    EXPECT_TRUE(
        job_.Prepare({JobDirection::kSend, false, false, true}, prompts_));
    job_.Cancel();
  }
}

// A ReadCommand answered with another code carries no command, even when
// its bytes equal the store's: the verification fails on it.
TEST_F(TransferWorkerTest, VerificationComparesTheReplysCode) {
  ProgramImage image{};
  image[CommandOffset(0, 0)] = 0x5D;
  port_.on_write = [](std::span<const std::uint8_t>, FakeSerialPort& port) {
    port.Feed(ReplyFrame(0x07, 93, {0x5D, 0x00, 0x00}));
  };
  ASSERT_TRUE(job_.Prepare(kReceive, prompts_));
  job_.SetVerifyImage(image);
  const std::uint8_t place[] = {0, 0};
  ASSERT_TRUE(job_.Queue(RequestCode::kReadCommand, place));
  ASSERT_TRUE(job_.Start(observer_));
  EXPECT_FALSE(observer_.WaitForJob());
  job_.Join();
  EXPECT_EQ(observer_.last_status(), "Błąd weryfikacji: 1/1= [5D.00.00] hex");
}

TEST_F(TransferWorkerTest, AbortWithoutWorkerDoesNothing) {
  EXPECT_FALSE(job_.RequestAbort());
  EXPECT_FALSE(job_.ReplaceQueue(RequestCode::kResetRadio));
}

// Keeps a copy of every trace record; read by the test after Join.
class RecordingTrace : public LineTraceSink {
 public:
  struct Entry {
    TraceDirection direction;
    std::uint8_t code;
    Bytes bytes;
    std::size_t dropped;
    friend bool operator==(const Entry&, const Entry&) = default;
  };
  void Record(const TraceRecord& record) override {
    entries.push_back({record.direction, record.request_code,
                       Bytes(record.bytes.begin(), record.bytes.end()),
                       record.dropped});
  }
  std::vector<Entry> entries;
};

TEST_F(TransferWorkerTest, TraceTellsFramesRepliesAndJunkInOrder) {
  RecordingTrace trace;
  PortAccess access;
  access.create = [this] { return std::make_unique<ForwardingPort>(port_); };
  access.trace = &trace;
  job_.SetPortAccess(access);
  const Bytes version = ReplyFrame(0x07, 93, {0x21});
  Bytes broken = ReplyFrame(0x07, 98, {});
  broken.back() ^= 0x01;
  port_.on_write = [&](std::span<const std::uint8_t> frame,
                       FakeSerialPort& port) {
    if (frame[4] == 93) {
      port.Feed(version);
    } else if (frame[4] == 98) {
      port.Feed(broken);
    }
  };
  ASSERT_TRUE(RunJob(
      kSend, {RequestCode::kReadVersion, RequestCode::kRestartController}));
  using D = TraceDirection;
  const std::vector<RecordingTrace::Entry> expected = {
      {D::kWritten, 93, port_.writes[0], 0},
      {D::kReply, 93, version, 0},
      {D::kWritten, 64, port_.writes[1], 0},
  };
  EXPECT_EQ(trace.entries, expected);

  // A reply with a bad sum is junk, and so is all of a read that gives up
  // on noise (the trace keeps as much as one read takes).
  trace.entries.clear();
  port_.writes.clear();
  EXPECT_FALSE(RunJob(kReceive, {RequestCode::kReadRegisters}));
  ASSERT_EQ(trace.entries.size(), 2u);
  EXPECT_EQ(trace.entries[1], (RecordingTrace::Entry{D::kJunk, 98, broken, 0}));

  trace.entries.clear();
  port_.on_write = [](std::span<const std::uint8_t>, FakeSerialPort& port) {
    port.Feed(Bytes(kReplyReadLimit + 5, 0x00));
  };
  EXPECT_FALSE(RunJob(kReceive, {RequestCode::kReadVersion}));
  ASSERT_EQ(trace.entries.size(), 2u);
  EXPECT_EQ(trace.entries[1].direction, D::kJunk);
  EXPECT_EQ(trace.entries[1].bytes.size(),
            static_cast<std::size_t>(kReplyReadLimit));
  EXPECT_EQ(trace.entries[1].dropped, 0u);
}

TEST(FormatTraceLine, TimeDirectionNameAndHexBytes) {
  const std::uint8_t frame[] = {0x88, 0xFF, 0x01, 0x02, 0x5D, 0xE7};
  const struct {
    TraceRecord record;
    const char* text;
  } cases[] = {
      {{std::chrono::microseconds(12345), TraceDirection::kWritten, 93, frame,
        0},
       "   0.012345 > ReadVersion              88 FF 01 02 5D E7"},
      {{std::chrono::microseconds(61000001), TraceDirection::kJunk, 200,
        std::span(frame).first(1), 7},
       "  61.000001 ? 200                      88 (+7)"},
  };
  TraceLine line;
  for (const auto& c : cases) {
    FormatTraceLine(c.record, line);
    EXPECT_EQ(line.View(), c.text);
  }
}

}  // namespace
}  // namespace lumera
