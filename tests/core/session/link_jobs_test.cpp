// Whole jobs, through an in-memory port, to the virtual controller.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "core/config/controller_config.h"
#include "core/link/transfer_job.h"
#include "core/session/jobs.h"
#include "core/session/program_diff.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"
#include "support/fake_job_prompts.h"
#include "support/in_memory_controller.h"
#include "support/recording_editor.h"

namespace lumera {
namespace {

using Request = InMemoryController::Request;

// A question nobody scripted an answer for is cancelled.
class ScriptedPrompts : public FakeJobPrompts {
 public:
  ScriptedPrompts() : FakeJobPrompts(false) {}
};

// Lets a test act on the worker thread when a given status text is posted.
class HookedObserver : public DirectObserver {
 public:
  using DirectObserver::DirectObserver;
  void SetStatusLine(std::string_view text) override {
    if (on_worker_status) on_worker_status(std::string(text));
    DirectObserver::SetStatusLine(text);
  }
  std::function<void(const std::string&)> on_worker_status;
};

Command Pattern(int segment, int command) {
  return {static_cast<std::uint8_t>(segment * 16 + command % 7),
          static_cast<std::uint8_t>(command),
          static_cast<std::uint8_t>(255 - command)};
}

// A fresh controller that answers to `number`.
SimControllerState Controller(int number = 1) {
  return FreshControllerState(static_cast<std::uint8_t>(number));
}

void FillProgram(ProgramImage& image, int salt) {
  for (int s = 0; s < kSegmentCount; ++s) {
    for (int c = 0; c < kCommandsPerSegment; ++c) {
      const Command cmd = Pattern(s, c);
      const std::size_t offset = CommandOffset(s, c);
      image[offset] = static_cast<std::uint8_t>(cmd.code + salt);
      image[offset + 1] = cmd.param1;
      image[offset + 2] = cmd.param2;
    }
  }
}

Command ImageCommand(const ProgramImage& image, int s, int c) {
  const std::size_t offset = CommandOffset(s, c);
  return {image[offset], image[offset + 1], image[offset + 2]};
}

std::uint8_t Byte(int value) { return static_cast<std::uint8_t>(value); }

std::vector<int> Codes(const std::vector<Request>& requests) {
  std::vector<int> codes;
  for (const Request& r : requests) codes.push_back(r.code);
  return codes;
}

class LinkJobsTest : public testing::Test {
 protected:
  void SetUp() override {
    PortAccess access;
    access.create = [this] { return controller_.MakePort(); };
    job_.SetPortAccess(access);
  }

  // Starts a job as a button would and waits for its end; false when the
  // job was refused or failed.
  bool Run(const std::function<bool(LinkContext&)>& start) {
    LinkContext context{workspace_, job_, observer_, prompts_};
    started_ = start(context);
    if (!started_) return false;
    const bool ok = observer_.WaitForJob();
    job_.Join();
    return ok;
  }

  InMemoryController controller_;
  Workspace workspace_;
  ScriptedPrompts prompts_;
  HookedObserver observer_{workspace_};
  TransferJob job_;  // after the observer: ends its worker first
  RecordingEditor shown_;
  EditorSide editor_{.shown = &shown_};
  bool started_ = false;
};

TEST_F(LinkJobsTest, DownloadProgramReadsSegmentsOneToNine) {
  SimControllerState memory = Controller();
  FillProgram(memory.image, 0);
  controller_.SetState(memory);
  workspace_.store.SetComment(0, 3, "kept?");
  workspace_.store.SetComment(9, 3, "segment 10");

  ASSERT_TRUE(
      Run([&](LinkContext& c) { return StartDownloadProgram(c, editor_); }));
  EXPECT_EQ(observer_.last_status(), kSuccessText);
  for (int s = 0; s < 9; ++s) {
    for (int c = 0; c < kCommandsPerSegment; ++c) {
      ASSERT_EQ(workspace_.store.CommandAt(s, c), Pattern(s, c)) << s << c;
    }
  }
  EXPECT_EQ(workspace_.store.CommandAt(9, 0), kEmptyCommand);
  EXPECT_EQ(workspace_.store.Comment(0, 3), nullptr);
  ASSERT_NE(workspace_.store.Comment(9, 3), nullptr);
  EXPECT_EQ(shown_.stack_cleared, 1);
  const auto codes = Codes(controller_.requests());
  ASSERT_EQ(codes.size(), 2u + 9 * 255);
  EXPECT_EQ(codes.front(), 65);
  EXPECT_EQ(codes.back(), 66);
  EXPECT_EQ(observer_.progress_maximum(), 2 + 9 * 255);
  EXPECT_EQ(observer_.max_progress_reached(), 2 + 9 * 255);
  EXPECT_EQ(observer_.load_segment_calls(), 1);
  EXPECT_EQ(observer_.refresh_config_calls(), 1);
  EXPECT_EQ(observer_.refresh_main_status_calls(), 1);
}

// Only a job that read program commands reloads the editor at its end; a
// reload after any other receive job would drop rows not yet written back.
TEST_F(LinkJobsTest, OnlyJobsThatReadCommandsReloadTheEditor) {
  struct Case {
    const char* name;
    bool (*start)(LinkContext&, const EditorSide&);
    int reloads;
  };
  const Case cases[] = {
      {"clock",
       [](LinkContext& c, const EditorSide&) { return StartReadClock(c); }, 0},
      {"error report",
       [](LinkContext& c, const EditorSide&) {
         return StartReadErrorReport(c);
       },
       0},
      {"registers",
       [](LinkContext& c, const EditorSide&) {
         return StartSingleRequest(c, {.direction = JobDirection::kReceive},
                                   RequestCode::kReadRegisters);
       },
       0},
      {"configuration",
       [](LinkContext& c, const EditorSide&) {
         return StartReadConfiguration(c);
       },
       0},
      {"segment", StartDownloadSegment, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    observer_.ClearRecord();
    ASSERT_TRUE(Run([&](LinkContext& ctx) { return c.start(ctx, editor_); }))
        << observer_.last_status();
    EXPECT_EQ(observer_.load_segment_calls(), c.reloads);
  }
}

TEST_F(LinkJobsTest, UploadSendsTheCommittedStoreAndRestarts) {
  FillProgram(workspace_.store.mutable_image(), 3);
  shown_.on_commit = [&] {
    workspace_.store.SetCommand(4, 0, Command{0x01, 0x02, 0x03});
  };
  ASSERT_TRUE(
      Run([&](LinkContext& c) { return StartUploadProgram(c, editor_); }));
  const SimControllerState memory = controller_.State();
  for (int s = 0; s < 9; ++s) {
    for (int c = 0; c < kCommandsPerSegment; ++c) {
      ASSERT_EQ(ImageCommand(memory.image, s, c),
                workspace_.store.CommandAt(s, c));
    }
  }
  EXPECT_EQ(ImageCommand(memory.image, 4, 0), (Command{1, 2, 3}));
  EXPECT_EQ(ImageCommand(memory.image, 9, 0), kEmptyCommand);
  const auto codes = Codes(controller_.requests());
  EXPECT_EQ(codes.front(), 96);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), 77), 9 * 255);
  const auto& lines = observer_.status_lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "  *** RESTART STEROWNIKA - POCZEKAJ! ***"),
            lines.end());
  EXPECT_EQ(observer_.last_status(), kSuccessText);
  EXPECT_EQ(observer_.refresh_main_status_calls(), 0);
}

TEST_F(LinkJobsTest, UploadOfSegmentTenSendsOnlyThatSegment) {
  FillProgram(workspace_.store.mutable_image(), 0);
  editor_.current_segment = 10;
  ASSERT_TRUE(
      Run([&](LinkContext& c) { return StartUploadSegment(c, editor_); }));
  int writes = 0;
  for (const Request& r : controller_.requests()) {
    if (r.code != 77) continue;
    ++writes;
    EXPECT_EQ(r.payload[0], 9);
  }
  EXPECT_EQ(writes, 255);
  EXPECT_EQ(ImageCommand(controller_.State().image, 9, 254), Pattern(9, 254));
}

TEST_F(LinkJobsTest, VerifyReportsTheFirstDifferenceAndStops) {
  SimControllerState memory = Controller();
  FillProgram(memory.image, 0);
  FillProgram(workspace_.store.mutable_image(), 0);
  memory.image[CommandOffset(2, 7) + 1] = 0xAB;
  memory.image[CommandOffset(5, 0)] = 0x00;  // never reached
  controller_.SetState(memory);
  EXPECT_FALSE(
      Run([&](LinkContext& c) { return StartVerifyProgram(c, editor_); }));
  const Command theirs = ImageCommand(memory.image, 2, 7);
  char expected[80];
  std::snprintf(expected, sizeof expected,
                "Błąd weryfikacji: 3/8= [%02X.%02X.%02X] hex", theirs.code,
                theirs.param1, theirs.param2);
  EXPECT_EQ(observer_.last_status(), expected);
  EXPECT_EQ(observer_.positions_shown(),
            (std::vector<std::pair<int, int>>{{2, 7}}));
  // The store keeps its own bytes; nothing after the difference is read.
  EXPECT_EQ(workspace_.store.CommandAt(2, 7), Pattern(2, 7));
  EXPECT_EQ(controller_.requests().size(), 1u + 2 * 255 + 8);
  EXPECT_EQ(observer_.load_segment_calls(), 0);
}

TEST_F(LinkJobsTest, VerifySegmentReadsOnlyTheGridRows) {
  SimControllerState memory = Controller();
  FillProgram(memory.image, 0);
  FillProgram(workspace_.store.mutable_image(), 0);
  memory.image[CommandOffset(1, 5)] = 0x00;  // beyond the grid's rows
  controller_.SetState(memory);
  editor_.current_segment = 2;
  editor_.grid_rows = 5;
  ASSERT_TRUE(
      Run([&](LinkContext& c) { return StartVerifySegment(c, editor_); }));
  EXPECT_EQ(Codes(controller_.requests()),
            (std::vector<int>{65, 78, 78, 78, 78, 78, 66}));
  // Every compared reply clears the editor refresh.
  EXPECT_EQ(observer_.load_segment_calls(), 0);
}

TEST_F(LinkJobsTest, VerifyComparesWithTheStoreAsItWasQueued) {
  SimControllerState memory = Controller();
  FillProgram(memory.image, 0);
  FillProgram(workspace_.store.mutable_image(), 0);
  controller_.SetState(memory);
  editor_.current_segment = 1;
  editor_.grid_rows = 3;
  // An edit made while the job runs does not change what is compared.
  LinkContext context{workspace_, job_, observer_, prompts_};
  ASSERT_TRUE(StartVerifySegment(context, editor_));
  workspace_.store.SetCommand(0, 2, Command{0, 0, 0});
  EXPECT_TRUE(observer_.WaitForJob());
  job_.Join();
}

TEST_F(LinkJobsTest, ConfigurationReadKeepsWhatArrivedBeforeAFailure) {
  SimControllerState memory = Controller();
  for (std::size_t k = 0; k < kConfigBytes; ++k) {
    memory.image[kGeneralConfigOffset + k] = static_cast<std::uint8_t>(k + 2);
  }
  controller_.SetState(memory);
  // Its configuration gives the controller number 2.
  workspace_.settings.controller_address = 2;
  controller_.SetFault(FaultKind::kSilence, 2);  // ReadStartPoints
  const ProgramImage before = workspace_.store.image();
  EXPECT_FALSE(Run([](LinkContext& c) { return StartReadConfiguration(c); }));
  EXPECT_EQ(observer_.last_status(),
            "Błąd odczytu pakietu: pakiet za krótki !");
  const ConstControllerConfig config(workspace_.store.image());
  EXPECT_EQ(config.ControllerNumber(), 2);
  EXPECT_EQ(workspace_.config_page.new_controller_number, 2);
  EXPECT_EQ(config.Marker(), 33);
  for (std::size_t k = 0; k < kConfigBlockSize; ++k) {
    EXPECT_EQ(config.StartPointBlock()[k], before[kStartPointOffset + k]);
  }
  EXPECT_EQ(observer_.refresh_config_calls(), 0);
  EXPECT_EQ(Codes(controller_.requests()), (std::vector<int>{86, 87}));
}

TEST_F(LinkJobsTest, ConfigurationReadAndWriteRoundTrip) {
  SimControllerState memory = Controller();
  for (std::size_t k = 0; k < kConfigBytes; ++k) {
    memory.image[kGeneralConfigOffset + k] = static_cast<std::uint8_t>(k + 2);
  }
  memory.version = 0x12;
  memory.hardware_info = {0, 1, 2, 3, 4, 5, 0xFE, 0x05, 0xF3, 9};
  controller_.SetState(memory);
  workspace_.settings.controller_address = 2;
  ASSERT_TRUE(Run([](LinkContext& c) { return StartReadConfiguration(c); }));
  EXPECT_EQ(workspace_.status.version_major, 1);
  EXPECT_EQ(workspace_.status.version_minor, 2);
  EXPECT_EQ(workspace_.status.switch_byte, 0xFE);
  EXPECT_EQ(workspace_.status.flags, 0x05);
  EXPECT_EQ(workspace_.status.output_mask, 0xF3);
  const ConstControllerConfig config(workspace_.store.image());
  EXPECT_EQ(config.GetStartPoint(16), (StartPoint{64, 65}));
  EXPECT_EQ(observer_.refresh_config_calls(), 1);
  // Configuration replies clear the editor refresh.
  EXPECT_EQ(observer_.load_segment_calls(), 0);

  // Written back, the marker goes out as 75 whatever was read.
  controller_.SetState(Controller(2));
  ASSERT_TRUE(Run([](LinkContext& c) { return StartWriteConfiguration(c); }));
  const SimControllerState written = controller_.State();
  for (std::size_t k = 0; k < kConfigBytes; ++k) {
    const std::uint8_t want = k == 31 ? 75 : static_cast<std::uint8_t>(k + 2);
    EXPECT_EQ(written.image[kGeneralConfigOffset + k], want) << k;
  }
}

// However a download ends badly, the program, its comments and the shown
// segment stay as they were: nothing of what it read, and no comment of what
// it meant to read, is lost or mixed in.
TEST_F(LinkJobsTest, ADownloadThatFailsLeavesTheProgramAsItWas) {
  constexpr int kMidSegment2 = 300;  // ReadCommand of segment 2, command 43
  struct Case {
    const char* name;
    std::function<void()> arrange;
    const char* status;
    std::size_t requests;  // sent before the job ended
  };
  const Case cases[] = {
      {"no port",
       [&] {
         PortAccess access;
         access.create = [] { return std::unique_ptr<SerialPort>(); };
         job_.SetPortAccess(access);
       },
       "Błąd otwarcia portu !", 0},
      {"silence part-way",
       [&] { controller_.SetFault(FaultKind::kSilence, kMidSegment2); },
       "Błąd odczytu pakietu: pakiet za krótki !", kMidSegment2},
      {"bad checksum part-way",
       [&] { controller_.SetFault(FaultKind::kChecksum, kMidSegment2); },
       "Błąd sumy kontrolnej !", kMidSegment2},
      {"reply cut part-way",
       [&] { controller_.SetFault(FaultKind::kCut, kMidSegment2); },
       "Błąd odczytu pakietu: pakiet za krótki !", kMidSegment2},
      {"stray bytes part-way",
       [&] { controller_.SetFault(FaultKind::kStray, kMidSegment2); },
       "Błąd odczytu pakietu: pakiet za krótki !", kMidSegment2},
      {"Przerwij",
       [&] {
         controller_.SetHook([this](const Request& r) {
           if (r.index == kMidSegment2 - 1) job_.RequestAbort();
         });
       },
       "Operacja przerwana !", kMidSegment2},
  };
  SimControllerState memory = Controller();
  FillProgram(memory.image, 0);
  FillProgram(workspace_.store.mutable_image(), 1);
  for (const int segment : {0, 1, 2, 4}) {
    workspace_.store.SetComment(segment, 7, "uwaga");
  }
  const auto before = std::make_unique<ProgramStore>(workspace_.store);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    controller_.SetState(memory);
    controller_.SetHook(nullptr);
    controller_.ClearRequests();
    observer_.ClearRecord();
    c.arrange();
    EXPECT_FALSE(Run(
        [&](LinkContext& ctx) { return StartDownloadProgram(ctx, editor_); }));
    EXPECT_EQ(observer_.last_status(), c.status);
    EXPECT_EQ(controller_.requests().size(), c.requests);
    const auto changes = DiffPrograms(*before, workspace_.store, {});
    EXPECT_EQ(changes.size(), 0u)
        << (changes.empty() ? "" : FormatDifference(changes.front()));
    EXPECT_EQ(observer_.load_segment_calls(), 0);
    EXPECT_FALSE(job_.prepared());
  }
}

TEST_F(LinkJobsTest, AbortEndsTheJobAtItsNextStep) {
  SimControllerState memory = Controller();
  FillProgram(memory.image, 0);
  controller_.SetState(memory);
  controller_.SetHook([this](const Request& r) {
    if (r.index == 5) {
      EXPECT_TRUE(job_.RequestAbort());
    }
  });
  EXPECT_FALSE(
      Run([&](LinkContext& c) { return StartDownloadSegment(c, editor_); }));
  EXPECT_EQ(observer_.last_status(), "Operacja przerwana !");
  // Nothing is sent after the abort.
  EXPECT_EQ(controller_.requests().size(), 6u);
  EXPECT_EQ(observer_.progress_position(), 0);

  // The next job starts afresh on an empty queue.
  controller_.SetHook(nullptr);
  controller_.ClearRequests();
  ASSERT_TRUE(Run([](LinkContext& c) { return StartStopProgram(c); }));
  EXPECT_EQ(Codes(controller_.requests()), (std::vector<int>{96}));
}

TEST_F(LinkJobsTest, LoadDefaultsWaitsForTheControllerAndReadsNothing) {
  workspace_.settings.controller_address = 1;
  ASSERT_TRUE(Run([](LinkContext& c) { return StartLoadDefaults(c, true); }));
  EXPECT_TRUE(prompts_.questions.empty());
  const auto& lines = observer_.status_lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            "* ZAPIS KONFIGURACJI DO EEPROM - POCZEKAJ! *");
  EXPECT_EQ(lines.back(), kSuccessText);
  EXPECT_EQ(observer_.refresh_config_calls(), 0);
  const auto requests = controller_.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].payload, (std::vector<std::uint8_t>{1}));
}

TEST_F(LinkJobsTest, LoadDefaultsAsksFirstForAnotherControllerNumber) {
  controller_.SetState(Controller(7));
  workspace_.settings.controller_address = 7;
  prompts_.answers = {false, true};
  EXPECT_FALSE(Run([](LinkContext& c) { return StartLoadDefaults(c, false); }));
  EXPECT_FALSE(started_);
  EXPECT_FALSE(job_.prepared());
  ASSERT_TRUE(Run([](LinkContext& c) { return StartLoadDefaults(c, false); }));
  EXPECT_EQ(prompts_.questions,
            (std::vector<std::string>(
                2, "Polecenie ustawi numer sterownika na 1. Kontynuować ?")));
  const auto requests = controller_.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].payload, (std::vector<std::uint8_t>{0}));
}

TEST_F(LinkJobsTest, AbortDuringTheControllerWait) {
  observer_.on_worker_status = [this](const std::string& text) {
    if (text == "* ZAPIS KONFIGURACJI DO EEPROM - POCZEKAJ! *") {
      job_.RequestAbort();
    }
  };
  EXPECT_FALSE(Run([](LinkContext& c) { return StartLoadDefaults(c, true); }));
  EXPECT_EQ(observer_.last_status(), "Operacja przerwana !");
  EXPECT_EQ(observer_.refresh_main_status_calls(), 0);
}

TEST_F(LinkJobsTest, RadioModeAllAwaitsNoReply) {
  SimControllerState memory = Controller();
  FillProgram(memory.image, 0);
  controller_.SetState(memory);
  workspace_.link.radio_mode = RadioMode::kAll;
  workspace_.store.SetComment(0, 0, "kept");
  ASSERT_TRUE(
      Run([&](LinkContext& c) { return StartDownloadSegment(c, editor_); }));
  EXPECT_EQ(observer_.last_status(), kSuccessText);
  for (int c = 0; c < kCommandsPerSegment; ++c) {
    ASSERT_EQ(workspace_.store.CommandAt(0, c), kEmptyCommand);
  }
  // Nothing was read, so nothing is replaced: not even a comment goes.
  EXPECT_NE(workspace_.store.Comment(0, 0), nullptr);
  EXPECT_EQ(observer_.load_segment_calls(), 0);
  EXPECT_EQ(observer_.max_progress_reached(), 257);
  const auto requests = controller_.requests();
  ASSERT_EQ(requests.size(), 257u);
  EXPECT_EQ(requests.front().code, 65);
  EXPECT_EQ(requests.back().code, 66);
  for (int c = 0; c < kCommandsPerSegment; ++c) {
    const Request& r = requests[static_cast<std::size_t>(1 + c)];
    ASSERT_EQ(r.code, 78);
    ASSERT_EQ(r.payload, (std::vector<std::uint8_t>{0, Byte(c)}));
  }
}

struct NoReplyLastCase {
  const char* name;
  std::function<bool(LinkContext&, const EditorSide&)> start;
  int code;
};

// The last frame of these jobs awaits no reply; the job still sends it
// before it closes. (That the port delivers it is PtyPort's to show.)
TEST_F(LinkJobsTest, AFrameWithoutReplyAtTheEndOfAJobArrives) {
  const NoReplyLastCase cases[] = {
      {"run from the selected row",
       [](LinkContext& c, const EditorSide& e) { return StartRunFrom(c, e); },
       94},
      {"run from a start point",
       [](LinkContext& c, const EditorSide&) {
         return StartRunStartPoint(c, 2);
       },
       94},
      {"stop point",
       [](LinkContext& c, const EditorSide& e) {
         return StartSetStopPoint(c, e);
       },
       99},
  };
  editor_.grid_rows = 3;
  editor_.selected_row = 1;
  for (const NoReplyLastCase& test : cases) {
    SCOPED_TRACE(test.name);
    controller_.ClearRequests();
    ASSERT_TRUE(Run([&](LinkContext& c) { return test.start(c, editor_); }));
    EXPECT_EQ(Codes(controller_.requests()), (std::vector<int>{test.code}));
  }
}

TEST_F(LinkJobsTest, QueueReplacementIsSentNext) {
  controller_.SetHook([this](const Request& r) {
    if (r.index == 2) {
      EXPECT_TRUE(job_.ReplaceQueue(RequestCode::kResetRadio));
    }
  });
  ASSERT_TRUE(
      Run([&](LinkContext& c) { return StartDownloadSegment(c, editor_); }));
  // Nothing reads the line after the last frame of a job without reply, so
  // the job's end is what shows the replacement was taken.
  EXPECT_EQ(observer_.frames_written(), 4);
  EXPECT_EQ(Codes(controller_.requests()), (std::vector<int>{65, 78, 78, 69}));
}

TEST_F(LinkJobsTest, ReplacementBeforeTheQueueRanOutIsSentAfterIsRefused) {
  controller_.SetHook([this](const Request& r) {
    // ReadPosition is the last request of the step job; the worker has not
    // looked for another one yet.
    if (r.code == 68) {
      EXPECT_TRUE(job_.ReplaceQueue(RequestCode::kResetRadio));
    }
  });
  bool refused_at_end = false;
  observer_.on_worker_status = [&](const std::string& text) {
    // Closing: the worker has found the queue empty and ends the job, so a
    // replacement now would be lost with it.
    if (text == kSuccessText) {
      refused_at_end = !job_.ReplaceQueue(RequestCode::kResetRadio);
    }
  };
  ASSERT_TRUE(
      Run([&](LinkContext& c) { return StartStepCommand(c, editor_); }));
  EXPECT_EQ(observer_.frames_written(), 4);
  EXPECT_EQ(Codes(controller_.requests()), (std::vector<int>{67, 98, 68, 69}));
  EXPECT_TRUE(refused_at_end);
}

TEST_F(LinkJobsTest, ASecondJobIsRefusedSilentlyWhileOneRuns) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  controller_.SetHook([released](const Request& r) {
    if (r.index == 0) released.wait();
  });
  LinkContext context{workspace_, job_, observer_, prompts_};
  ASSERT_TRUE(StartStopProgram(context));
  EXPECT_FALSE(StartResumeProgram(context));
  EXPECT_FALSE(StartReadControllerNumber(context));  // asked, then refused
  EXPECT_TRUE(prompts_.warnings.empty());
  EXPECT_TRUE(job_.running());
  release.set_value();
  EXPECT_TRUE(observer_.WaitForJob());
  job_.Join();
  EXPECT_EQ(Codes(controller_.requests()), (std::vector<int>{96}));
}

TEST_F(LinkJobsTest, BroadcastAddressRefusesGuardedJobsOnly) {
  workspace_.settings.controller_address = 255;
  EXPECT_FALSE(Run([](LinkContext& c) { return StartStopProgram(c); }));
  EXPECT_FALSE(Run([](LinkContext& c) { return StartLoadDefaults(c, true); }));
  EXPECT_TRUE(prompts_.questions.empty());
  EXPECT_EQ(prompts_.warnings.size(), 2u);
  EXPECT_EQ(prompts_.warnings[0],
            "Tego polecenia nie można wysyłać do wszystkich sterowników !");
  EXPECT_FALSE(
      Run([](LinkContext& c) { return StartWriteControllerNumber(c); }));
  EXPECT_EQ(prompts_.warnings.back(),
            "Adres sterownika dla komunikacji nie moze byc 255(broadcast) dla "
            "tego polecenia !");
  EXPECT_TRUE(controller_.requests().empty());
  // Restart is sent to every controller.
  ASSERT_TRUE(Run([](LinkContext& c) { return StartRestartController(c); }));
  const auto requests = controller_.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].destination, 255);
}

TEST_F(LinkJobsTest, ControllerNumberFoundAndWritten) {
  controller_.SetState(Controller(9));
  prompts_.answers = {true};
  ASSERT_TRUE(Run([](LinkContext& c) { return StartReadControllerNumber(c); }));
  EXPECT_EQ(prompts_.questions,
            (std::vector<std::string>{
                "Czy do linii RS485 dolaczony jest tylko jeden sterownik ?"}));
  EXPECT_EQ(controller_.requests()[0].destination, 255);
  EXPECT_EQ(observer_.status_lines()[1],
            "Zapytanie BROADCAST o numer sterownika...");
  EXPECT_EQ(workspace_.settings.controller_address, 9);
  EXPECT_EQ(workspace_.config_page.new_controller_number, 9);
  EXPECT_EQ(ConstControllerConfig(workspace_.store.image()).ControllerNumber(),
            9);

  workspace_.config_page.new_controller_number = 12;
  ASSERT_TRUE(
      Run([](LinkContext& c) { return StartWriteControllerNumber(c); }));
  EXPECT_EQ(controller_.State().image[kGeneralConfigOffset], 12);
  EXPECT_EQ(ConstControllerConfig(workspace_.store.image()).ControllerNumber(),
            12);
  EXPECT_EQ(ConstControllerConfig(workspace_.store.image()).Marker(), 75);
  // Later jobs still address the number the user chose.
  EXPECT_EQ(workspace_.settings.controller_address, 9);
}

TEST_F(LinkJobsTest, StepShowsPositionAndRegisters) {
  SimControllerState memory = Controller();
  memory.position = {4, 9};
  memory.registers = {1, 2, 3, 4, 5, 6, 7, 250};
  controller_.SetState(memory);
  editor_.current_segment = 2;
  ASSERT_TRUE(
      Run([&](LinkContext& c) { return StartStepCommand(c, editor_); }));
  EXPECT_EQ(controller_.requests()[0].payload, (std::vector<std::uint8_t>{1}));
  EXPECT_EQ(workspace_.link.registers, memory.registers);
  // A step into another segment lands on its first command.
  EXPECT_EQ(observer_.positions_shown(),
            (std::vector<std::pair<int, int>>{{1, 0}}));
  EXPECT_EQ(observer_.load_segment_calls(), 0);
}

TEST_F(LinkJobsTest, ErrorReportIsMarkedPending) {
  SimControllerState memory = Controller();
  memory.error_report = {.task = 1, .segment = 2, .command = 3, .error = 0x47};
  controller_.SetState(memory);
  ASSERT_TRUE(Run([](LinkContext& c) { return StartReadErrorReport(c); }));
  std::string text;
  ASSERT_TRUE(TakePendingErrorReport(workspace_.link.error_report, text));
  EXPECT_EQ(text, "Task:2 Segment:3 Komenda:3:   Zły parametr komendy.");

  // A report not shown yet is dropped when "!" is pressed again; if that job
  // fails, nothing is shown beyond its status text.
  workspace_.link.error_report.Store(0, 0, 0, 8);
  controller_.SetFault(FaultKind::kSilence, 1);
  EXPECT_FALSE(Run([](LinkContext& c) { return StartReadErrorReport(c); }));
  EXPECT_EQ(observer_.last_status(),
            "Błąd odczytu pakietu: pakiet za krótki !");
  EXPECT_FALSE(TakePendingErrorReport(workspace_.link.error_report, text));
}

TEST_F(LinkJobsTest, ClockReadAndSet) {
  // The controller's clock stands at 12:30:00.
  workspace_.config_page.clock_time = {0x01, 0x02, 0x03};
  ASSERT_TRUE(Run([](LinkContext& c) { return StartReadClock(c); }));
  EXPECT_EQ(controller_.requests()[0].payload,
            (std::vector<std::uint8_t>{0x01, 0x02, 0x03}));
  EXPECT_EQ(workspace_.config_page.clock_time, (ClockTime{0x12, 0x30, 0x00}));

  ASSERT_TRUE(Run([](LinkContext& c) { return StartWriteClock(c); }));
  const auto sent = controller_.requests().back().payload;
  ASSERT_EQ(sent.size(), 3u);
  // The controller answers with its clock, now set to what it was sent; the
  // copy takes the answer.
  EXPECT_EQ(workspace_.config_page.clock_time,
            (ClockTime{sent[0], sent[1], sent[2]}));
}

TEST_F(LinkJobsTest, RunFromCarriesSelectionWordsAndTimeByte) {
  workspace_.settings.target_radio_address = {1, 2, 30};
  workspace_.link.time_byte = 77;
  editor_.current_segment = 2;
  editor_.grid_rows = 10;
  editor_.selected_row = 4;
  ASSERT_TRUE(Run([&](LinkContext& c) { return StartRunFrom(c, editor_); }));
  const auto requests = controller_.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].destination, 1);
  EXPECT_EQ(requests[0].payload,
            (std::vector<std::uint8_t>{1, 4, 0x1E, 0x12, 0x1E, 0x12, 0x1E, 0x12,
                                       77}));
  editor_.grid_rows = 0;
  EXPECT_FALSE(Run([&](LinkContext& c) { return StartRunFrom(c, editor_); }));
  EXPECT_FALSE(started_);
}

}  // namespace
}  // namespace lumera
