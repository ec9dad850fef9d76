// Which requests each button's job sends, with which payload and to which
// controller.
#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/config/controller_config.h"
#include "core/link/frames.h"
#include "core/link/operations.h"
#include "core/link/transfer_job.h"
#include "core/session/jobs.h"
#include "core/session/reply_apply.h"
#include "core/session/workspace.h"
#include "support/fake_job_prompts.h"
#include "support/fake_serial_port.h"
#include "support/forwarding_port.h"
#include "support/recording_editor.h"
#include "support/reply_frames.h"

namespace lumera {
namespace {

using Bytes = std::vector<std::uint8_t>;

using YesPrompts = FakeJobPrompts;

struct Sent {
  std::uint8_t destination;
  std::uint8_t code;
  Bytes payload;
  friend bool operator==(const Sent&, const Sent&) = default;
};

void PrintTo(const Sent& s, std::ostream* os) {
  *os << "{to " << int(s.destination) << " code " << int(s.code) << " [";
  for (std::uint8_t b : s.payload) *os << ' ' << int(b);
  *os << " ]}";
}

struct JobCase {
  std::string name;
  std::function<void(Workspace&, EditorSide&)> setup;
  std::function<bool(LinkContext&, const EditorSide&)> start;
  std::vector<Sent> sent;
};

Bytes Block(const ProgramImage& image, std::size_t offset) {
  return Bytes(image.begin() + static_cast<long>(offset),
               image.begin() + static_cast<long>(offset + kConfigBlockSize));
}

std::vector<JobCase> Cases() {
  auto no_setup = [](Workspace&, EditorSide&) {};
  auto on_row = [](Workspace& w, EditorSide& e) {
    w.settings.target_radio_address = {1, 2, 30};
    w.link.time_byte = 77;
    e.current_segment = 2;
    e.grid_rows = 10;
    e.selected_row = 4;
  };
  Workspace defaults;
  ControllerConfig(defaults.store.mutable_image()).SetMarker(75);
  return {
      {"STOP",
       no_setup,
       [](LinkContext& c, const EditorSide&) { return StartStopProgram(c); },
       {{1, 96, {}}}},
      {"resume",
       no_setup,
       [](LinkContext& c, const EditorSide&) { return StartResumeProgram(c); },
       {{1, 66, {}}}},
      {"step",
       on_row,
       [](LinkContext& c, const EditorSide& e) {
         return StartStepCommand(c, e);
       },
       {{1, 67, {1}}, {1, 98, {}}, {1, 68, {}}}},
      {"stop point",
       on_row,
       [](LinkContext& c, const EditorSide& e) {
         return StartSetStopPoint(c, e);
       },
       {{1, 99, {1, 4}}}},
      {"run from, point",
       on_row,
       [](LinkContext& c, const EditorSide& e) { return StartRunFrom(c, e); },
       {{1, 94, {1, 4, 0x1E, 0x12, 0x1E, 0x12, 0x1E, 0x12, 77}}}},
      {"run from, all",
       [on_row](Workspace& w, EditorSide& e) {
         on_row(w, e);
         w.link.radio_mode = RadioMode::kAll;
       },
       [](LinkContext& c, const EditorSide& e) { return StartRunFrom(c, e); },
       {{255, 94, {1, 4, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 77}}}},
      {"write selected command after committing the grid",
       [on_row](Workspace& w, EditorSide& e) {
         on_row(w, e);
         static_cast<RecordingEditor*>(e.shown)->on_commit = [&w] {
           w.store.SetCommand(1, 4, {0x21, 0x05, 0x06});
         };
       },
       [](LinkContext& c, const EditorSide& e) {
         return StartWriteSelectedCommand(c, e);
       },
       {{1, 77, {1, 4, 0x21, 0x05, 0x06}}}},
      {"tempo 3",
       no_setup,
       [](LinkContext& c, const EditorSide&) { return StartSelectTempo(c, 3); },
       {{1, 92, {2}}}},
      {"start point 9 by index",
       [](Workspace& w, EditorSide&) { w.config_page.index_mode = true; },
       [](LinkContext& c, const EditorSide&) {
         return StartRunStartPoint(c, 9);
       },
       {{1, 91, {8}}}},
      {"start point 9 from its place",
       [](Workspace& w, EditorSide&) {
         ControllerConfig(w.store.mutable_image()).SetStartPoint(9, {2, 11});
         w.settings.target_radio_address = {0, 0, 5};
       },
       [](LinkContext& c, const EditorSide&) {
         return StartRunStartPoint(c, 9);
       },
       {{1, 94, {2, 11, 5, 0, 5, 0, 5, 0, 0}}}},
      {"restart to every controller",
       [](Workspace& w, EditorSide&) { w.settings.controller_address = 255; },
       [](LinkContext& c, const EditorSide&) {
         return StartRestartController(c);
       },
       {{255, 64, {}}}},
      {"error report",
       no_setup,
       [](LinkContext& c, const EditorSide&) {
         return StartReadErrorReport(c);
       },
       {{1, 90, {}}}},
      {"configuration read",
       no_setup,
       [](LinkContext& c, const EditorSide&) {
         return StartReadConfiguration(c);
       },
       {{1, 86, {}}, {1, 87, {}}, {1, 93, {}}, {1, 88, {}}}},
      {"configuration write sends the marker",
       [](Workspace& w, EditorSide&) {
         ControllerConfig(w.store.mutable_image()).SetMarker(0);
       },
       [](LinkContext& c, const EditorSide&) {
         return StartWriteConfiguration(c);
       },
       {{1, 84, Block(defaults.store.image(), kGeneralConfigOffset)},
        {1, 85, Block(defaults.store.image(), kStartPointOffset)}}},
      {"defaults, configuration only",
       no_setup,
       [](LinkContext& c, const EditorSide&) {
         return StartLoadDefaults(c, true);
       },
       {{1, 81, {1}}}},
      {"controller number read goes to all",
       no_setup,
       [](LinkContext& c, const EditorSide&) {
         return StartReadControllerNumber(c);
       },
       {{255, 71, {}}}},
      {"controller number write",
       [](Workspace& w, EditorSide&) {
         w.config_page.new_controller_number = 42;
         w.settings.controller_address = 3;
       },
       [](LinkContext& c, const EditorSide&) {
         return StartWriteControllerNumber(c);
       },
       {{3, 72, {42}}}},
      {"clock read sends the clock copy",
       [](Workspace& w, EditorSide&) {
         w.config_page.clock_time = {0x09, 0x05, 0x07};
       },
       [](LinkContext& c, const EditorSide&) { return StartReadClock(c); },
       {{1, 101, {0x09, 0x05, 0x07}}}},
  };
}

class JobRequestsTest : public testing::TestWithParam<JobCase> {};

TEST_P(JobRequestsTest, SendsItsRequests) {
  FakeSerialPort port;
  // Every request with a reply gets one of its length.
  port.on_write = [](std::span<const std::uint8_t> frame, FakeSerialPort& p) {
    const OperationDef* op = FindOperation(frame[4]);
    if (op == nullptr || op->reply_length == 0) return;
    p.Feed(PaddedReply(frame[2], frame[4], op->reply_length, 0x00));
  };
  Workspace workspace;
  RecordingEditor shown;
  EditorSide editor{.shown = &shown};
  GetParam().setup(workspace, editor);
  YesPrompts prompts;
  DirectObserver observer(workspace);
  TransferJob job;
  PortAccess access;
  access.create = [&port] { return std::make_unique<ForwardingPort>(port); };
  job.SetPortAccess(access);
  LinkContext context{workspace, job, observer, prompts};
  ASSERT_TRUE(GetParam().start(context, editor));
  EXPECT_TRUE(observer.WaitForJob()) << observer.last_status();
  job.Join();
  std::vector<Sent> sent;
  for (const Bytes& frame : port.writes) {
    sent.push_back(
        {frame[2], frame[4], Bytes(frame.begin() + 5, frame.end() - 1)});
  }
  EXPECT_EQ(sent, GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(Buttons, JobRequestsTest, testing::ValuesIn(Cases()),
                         [](const auto& info) {
                           std::string name;
                           for (char ch : info.param.name) {
                             name +=
                                 std::isalnum(static_cast<unsigned char>(ch))
                                     ? ch
                                     : '_';
                           }
                           return name;
                         });

TEST(JobRequests, RowButtonsDoNothingOnAnEmptyGrid) {
  Workspace workspace;
  YesPrompts prompts;
  DirectObserver observer(workspace);
  TransferJob job;
  LinkContext context{workspace, job, observer, prompts};
  RecordingEditor shown;
  EditorSide editor{.grid_rows = 0, .shown = &shown};
  EXPECT_FALSE(StartRunFrom(context, editor));
  EXPECT_FALSE(StartSetStopPoint(context, editor));
  EXPECT_FALSE(StartWriteSelectedCommand(context, editor));
  EXPECT_EQ(shown.commits, 0);
  EXPECT_FALSE(job.prepared());
}

TEST(JobRequests, OutOfRangeButtonsStartNothing) {
  Workspace workspace;
  YesPrompts prompts;
  DirectObserver observer(workspace);
  TransferJob job;
  LinkContext context{workspace, job, observer, prompts};
  EXPECT_FALSE(StartSelectTempo(context, 0));
  EXPECT_FALSE(StartSelectTempo(context, 9));
  EXPECT_FALSE(StartRunStartPoint(context, 17));
  EditorSide editor;
  editor.current_segment = 11;
  EXPECT_FALSE(StartDownloadSegment(context, editor));
  EXPECT_FALSE(job.prepared());
}

// Counts the post-processing the worker asks for.
class CountingObserver : public DirectObserver {
 public:
  using DirectObserver::DirectObserver;
  void FinalReplyReceived(const ReplyRecord& record) override {
    ++post_processed;
    DirectObserver::FinalReplyReceived(record);
  }
  std::atomic<int> post_processed{0};
};

using RecordingPrompts = FakeJobPrompts;

constexpr const char* kGuardText =
    "Tego polecenia nie można wysyłać do wszystkich sterowników !";

struct PreparationCase {
  const char* name;
  std::function<bool(LinkContext&, const EditorSide&)> start;
  bool send;          // else receive
  bool post_process;  // the last reply is post-processed
  // With the controller address 255: the warning that refuses the job, or
  // nullptr when the job goes to every controller.
  const char* refusal_at_255;
  // CommitGrid and the return stack's emptying, once the job is accepted.
  bool commits = false;
  bool clears_stack = false;
};

// Direction, post-processing and the broadcast guard of every button's job.
TEST(JobRequests, EachJobIsPreparedAsItsButtonRequires) {
  using C = LinkContext;
  using E = const EditorSide;
  const PreparationCase cases[] = {
      {"POBIERZ", [](C& c, E& e) { return StartDownloadProgram(c, e); }, false,
       true, kGuardText, false, true},
      {"pobierz 1", [](C& c, E& e) { return StartDownloadSegment(c, e); },
       false, true, kGuardText, false, true},
      {"? program", [](C& c, E& e) { return StartVerifyProgram(c, e); }, false,
       false, kGuardText, true, true},
      {"? segment", [](C& c, E& e) { return StartVerifySegment(c, e); }, false,
       false, kGuardText, true, true},
      {"WYŚLIJ", [](C& c, E& e) { return StartUploadProgram(c, e); }, true,
       false, kGuardText, true, true},
      {"wyślij 1", [](C& c, E& e) { return StartUploadSegment(c, e); }, true,
       false, kGuardText, true, true},
      {"Czytaj", [](C& c, E&) { return StartReadConfiguration(c); }, false,
       true, kGuardText},
      {"Wyślij (configuration)",
       [](C& c, E&) { return StartWriteConfiguration(c); }, true, false,
       kGuardText},
      {"Domyślna K", [](C& c, E&) { return StartLoadDefaults(c, true); }, true,
       false, kGuardText},
      {"!", [](C& c, E&) { return StartReadErrorReport(c); }, false, false,
       kGuardText},
      {"R S T", [](C& c, E&) { return StartRestartController(c); }, true, false,
       nullptr},
      {"STOP", [](C& c, E&) { return StartStopProgram(c); }, true, false,
       kGuardText},
      {"-", [](C& c, E&) { return StartResumeProgram(c); }, true, false,
       kGuardText},
      {"Komenda+1", [](C& c, E& e) { return StartStepCommand(c, e); }, false,
       false, kGuardText},
      {"Zatrzymaj Na", [](C& c, E& e) { return StartSetStopPoint(c, e); }, true,
       false, kGuardText},
      {"Wykonaj Od", [](C& c, E& e) { return StartRunFrom(c, e); }, true, false,
       nullptr},
      {"Wpisz Komendę",
       [](C& c, E& e) { return StartWriteSelectedCommand(c, e); }, true, false,
       kGuardText, true, true},
      {"Odczytaj", [](C& c, E&) { return StartReadControllerNumber(c); }, false,
       true, nullptr},
      {"Wyślij (number)",
       [](C& c, E&) { return StartWriteControllerNumber(c); }, true, true,
       "Adres sterownika dla komunikacji nie moze byc 255(broadcast) dla tego "
       "polecenia !"},
      {"Tempo 2", [](C& c, E&) { return StartSelectTempo(c, 2); }, true, false,
       nullptr},
      {"Start Punkt 3", [](C& c, E&) { return StartRunStartPoint(c, 3); }, true,
       false, nullptr},
      {"Czytaj czas", [](C& c, E&) { return StartReadClock(c); }, false, true,
       kGuardText},
      {"Ustaw czas", [](C& c, E&) { return StartWriteClock(c); }, true, true,
       kGuardText},
  };
  for (const PreparationCase& test : cases) {
    SCOPED_TRACE(test.name);
    for (const int address : {5, 255}) {
      FakeSerialPort port;
      port.on_write = [](std::span<const std::uint8_t> frame,
                         FakeSerialPort& p) {
        const OperationDef* op = FindOperation(frame[4]);
        if (op == nullptr || op->reply_length == 0) return;
        // Commands read back as the empty slots the store holds.
        p.Feed(PaddedReply(frame[2], frame[4], op->reply_length,
                           frame[4] == 78 ? 0xFF : 0x00));
      };
      Workspace workspace;
      workspace.settings.controller_address = address;
      workspace.config_page.new_controller_number = 9;
      workspace.store.SetComment(0, 1, "kept when refused");
      RecordingEditor shown;
      EditorSide editor{.grid_rows = 2, .shown = &shown};
      const int& commits = shown.commits;
      const int& clears = shown.stack_cleared;
      RecordingPrompts prompts;
      CountingObserver observer(workspace);
      TransferJob job;
      PortAccess access;
      access.create = [&port] {
        return std::make_unique<ForwardingPort>(port);
      };
      job.SetPortAccess(access);
      LinkContext context{workspace, job, observer, prompts};
      const bool refused = address == 255 && test.refusal_at_255 != nullptr;
      ASSERT_EQ(test.start(context, editor), !refused) << address;
      if (refused) {
        EXPECT_EQ(prompts.warnings,
                  std::vector<std::string>{test.refusal_at_255});
        EXPECT_TRUE(port.writes.empty());
        EXPECT_FALSE(job.prepared());
        EXPECT_EQ(commits + clears, 0);
        EXPECT_NE(workspace.store.Comment(0, 1), nullptr);
        continue;
      }
      EXPECT_EQ(commits, test.commits ? 1 : 0);
      EXPECT_EQ(clears, test.clears_stack ? 1 : 0);
      EXPECT_TRUE(prompts.warnings.empty());
      EXPECT_TRUE(observer.WaitForJob()) << observer.last_status();
      job.Join();
      ASSERT_GE(observer.status_lines().size(), 2u);
      const std::string& kind = observer.status_lines()[1];
      EXPECT_EQ(kind.rfind(test.send ? "Nadawanie" : "Odbiór", 0) == 0 ||
                    (!test.send && kind.rfind("Zapytanie BROADCAST", 0) == 0),
                true)
          << kind;
      EXPECT_EQ(observer.post_processed.load(), test.post_process ? 1 : 0)
          << address;
    }
  }
}

}  // namespace
}  // namespace lumera
