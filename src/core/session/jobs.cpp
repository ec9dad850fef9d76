#include "core/session/jobs.h"

#include <array>
#include <cstdint>
#include <initializer_list>

#include "core/config/clock_time.h"
#include "core/config/config_page_values.h"
#include "core/config/controller_config.h"
#include "core/session/workspace.h"

namespace lumera {
namespace {

constexpr int kProgramSegments = kWholeProgramSegments;

// Queues requests of a prepared job and starts it. A request that does not
// fit gives the whole job up rather than sending part of it.
class JobBuilder {
 public:
  explicit JobBuilder(LinkContext& context) : context_(context) {}

  bool Prepare(const JobOptions& options) {
    context_.job.SetLineValues(LineValuesOf(context_.workspace));
    return context_.job.Prepare(options, context_.prompts);
  }
  void Add(RequestCode code, std::span<const std::uint8_t> payload = {}) {
    ok_ = ok_ && context_.job.Queue(code, payload);
  }
  void Add(RequestCode code, std::initializer_list<std::uint8_t> payload) {
    Add(code, std::span<const std::uint8_t>(payload.begin(), payload.size()));
  }
  bool Start() {
    if (!ok_) {
      context_.job.Cancel();
      return false;
    }
    return context_.job.Start(context_.observer);
  }

 private:
  LinkContext& context_;
  bool ok_ = true;
};

bool ValidSegment(int segment_number) {
  return segment_number >= 1 && segment_number <= kSegmentCount;
}

bool ValidRow(const EditorSide& editor) {
  return editor.grid_rows > 0 && editor.selected_row >= 0 &&
         editor.selected_row < kCommandsPerSegment &&
         ValidSegment(editor.current_segment);
}

void CommitGrid(const EditorSide& editor) {
  if (editor.shown != nullptr) editor.shown->CommitGrid();
}

void ClearReturnStack(const EditorSide& editor) {
  if (editor.shown != nullptr) editor.shown->ClearReturnStack();
}

std::uint8_t Byte(int value) { return static_cast<std::uint8_t>(value); }

// Reads the first `slots[s]` commands of each segment s into a copy: the
// store and its comments change only when the job has ended well
// (EndReceivedProgram).
bool ReadCommands(LinkContext& context, const EditorSide* editor,
                  const SlotCounts& slots, bool post_process) {
  JobBuilder job(context);
  if (!job.Prepare(
          {.direction = JobDirection::kReceive, .post_process = post_process}))
    return false;
  if (editor != nullptr) ClearReturnStack(*editor);
  ReceivedProgram& received = context.workspace.received;
  job.Add(RequestCode::kPauseProgram);
  for (int segment = 0; segment < kSegmentCount; ++segment) {
    for (int command = 0; command < slots[static_cast<std::size_t>(segment)];
         ++command) {
      received.Ask(segment, command);
      job.Add(RequestCode::kReadCommand, {Byte(segment), Byte(command)});
    }
  }
  job.Add(RequestCode::kResumeProgram);
  if (job.Start()) return true;
  // Nothing will be read: the segments are free again.
  received.JobEnded();
  return false;
}

bool Download(LinkContext& context, const EditorSide& editor, int first,
              int last) {
  SlotCounts slots{};
  for (int segment = first; segment <= last; ++segment) {
    slots[static_cast<std::size_t>(segment)] = kCommandsPerSegment;
  }
  return ReadCommands(context, &editor, slots, true);
}

bool Verify(LinkContext& context, const EditorSide& editor, int first, int last,
            int commands) {
  JobBuilder job(context);
  if (!job.Prepare({.direction = JobDirection::kReceive})) return false;
  CommitGrid(editor);
  ClearReturnStack(editor);
  // Compared against the store as it is now, edits during the job aside.
  context.job.SetVerifyImage(context.workspace.store.image());
  job.Add(RequestCode::kPauseProgram);
  for (int segment = first; segment <= last; ++segment) {
    for (int command = 0; command < commands; ++command) {
      job.Add(RequestCode::kReadCommand, {Byte(segment), Byte(command)});
    }
  }
  job.Add(RequestCode::kResumeProgram);
  return job.Start();
}

bool Upload(LinkContext& context, const EditorSide& editor, int first,
            int last) {
  JobBuilder job(context);
  if (!job.Prepare({.direction = JobDirection::kSend})) return false;
  CommitGrid(editor);
  ClearReturnStack(editor);
  job.Add(RequestCode::kStopProgram);
  const ProgramStore& store = context.workspace.store;
  for (int segment = first; segment <= last; ++segment) {
    for (int command = 0; command < kCommandsPerSegment; ++command) {
      const Command c = store.CommandAt(segment, command);
      job.Add(RequestCode::kWriteCommand,
              {Byte(segment), Byte(command), c.code, c.param1, c.param2});
    }
  }
  job.Add(RequestCode::kRestartController);
  return job.Start();
}

std::array<std::uint8_t, 9> RunFromPayload(const Workspace& workspace,
                                           int segment_index,
                                           int command_index) {
  const bool all = workspace.link.radio_mode == RadioMode::kAll;
  const std::uint16_t target = workspace.settings.target_radio_address.Word();
  const std::array<std::uint16_t, 3> words =
      all ? std::array<std::uint16_t, 3>{kAllSelectionWord1, kAllSelectionWord2,
                                         kAllSelectionWord3}
          : std::array<std::uint16_t, 3>{target, target, target};
  std::array<std::uint8_t, 9> payload{};
  payload[0] = Byte(segment_index);
  payload[1] = Byte(command_index);
  for (int k = 0; k < 3; ++k) {
    payload[2 + 2 * k] = Byte(words[k] & 0xFF);
    payload[3 + 2 * k] = Byte(words[k] >> 8);
  }
  payload[8] = Byte(workspace.link.time_byte);
  return payload;
}

// RunFrom goes to every controller with "Wszystkie".
bool RunFrom(LinkContext& context, int segment_index, int command_index) {
  const bool all = context.workspace.link.radio_mode == RadioMode::kAll;
  const auto payload =
      RunFromPayload(context.workspace, segment_index, command_index);
  JobBuilder job(context);
  if (!job.Prepare({.direction = JobDirection::kSend,
                    .broadcast_query = all,
                    .skip_guard = true}))
    return false;
  job.Add(RequestCode::kRunFrom, payload);
  return job.Start();
}

bool Single(LinkContext& context, const JobOptions& options, RequestCode code,
            std::initializer_list<std::uint8_t> payload = {}) {
  return StartSingleRequest(
      context, options, code,
      std::span<const std::uint8_t>(payload.begin(), payload.size()));
}

}  // namespace

bool StartSingleRequest(LinkContext& context, const JobOptions& options,
                        RequestCode code,
                        std::span<const std::uint8_t> payload) {
  JobBuilder job(context);
  if (!job.Prepare(options)) return false;
  job.Add(code, payload);
  return job.Start();
}

LineValues LineValuesOf(const Workspace& workspace) {
  const ShellSettings& settings = workspace.settings;
  LineValues values;
  values.port_number = settings.port_number;
  values.controller_address = settings.controller_address;
  values.radio.enabled = settings.RadioOn();
  values.radio.mode = workspace.link.radio_mode;
  values.radio.target_address = settings.target_radio_address.Word();
  values.radio.access_point_address = settings.access_point_address.Word();
  return values;
}

bool StartDownloadProgram(LinkContext& context, const EditorSide& editor) {
  return Download(context, editor, 0, kProgramSegments - 1);
}

bool StartDownloadSegment(LinkContext& context, const EditorSide& editor) {
  if (!ValidSegment(editor.current_segment)) return false;
  const int segment = editor.current_segment - 1;
  return Download(context, editor, segment, segment);
}

bool StartReadCommandSlots(LinkContext& context, const SlotCounts& slots) {
  return ReadCommands(context, nullptr, slots, false);
}

bool StartVerifyProgram(LinkContext& context, const EditorSide& editor) {
  return Verify(context, editor, 0, kProgramSegments - 1, kCommandsPerSegment);
}

bool StartVerifySegment(LinkContext& context, const EditorSide& editor) {
  if (!ValidSegment(editor.current_segment)) return false;
  const int segment = editor.current_segment - 1;
  const int rows = std::min(std::max(editor.grid_rows, 0), kCommandsPerSegment);
  return Verify(context, editor, segment, segment, rows);
}

bool StartUploadProgram(LinkContext& context, const EditorSide& editor) {
  return Upload(context, editor, 0, kProgramSegments - 1);
}

bool StartUploadSegment(LinkContext& context, const EditorSide& editor) {
  if (!ValidSegment(editor.current_segment)) return false;
  const int segment = editor.current_segment - 1;
  return Upload(context, editor, segment, segment);
}

bool StartReadErrorReport(LinkContext& context) {
  JobBuilder job(context);
  if (!job.Prepare({.direction = JobDirection::kReceive})) return false;
  context.workspace.link.error_report.pending.store(false);
  job.Add(RequestCode::kReadErrorReport);
  return job.Start();
}

bool StartRestartController(LinkContext& context) {
  return Single(context, {.direction = JobDirection::kSend, .skip_guard = true},
                RequestCode::kRestartController);
}

bool StartReadConfiguration(LinkContext& context) {
  JobBuilder job(context);
  if (!job.Prepare({.direction = JobDirection::kReceive, .post_process = true}))
    return false;
  job.Add(RequestCode::kReadConfiguration);
  job.Add(RequestCode::kReadStartPoints);
  job.Add(RequestCode::kReadVersion);
  job.Add(RequestCode::kReadHardwareInfo);
  return job.Start();
}

bool StartWriteConfiguration(LinkContext& context) {
  JobBuilder job(context);
  if (!job.Prepare({.direction = JobDirection::kSend})) return false;
  ProgramImage& image = context.workspace.store.mutable_image();
  SetConfigMarker(image);
  const ConstControllerConfig config(image);
  job.Add(RequestCode::kWriteConfiguration, config.GeneralBlock());
  job.Add(RequestCode::kWriteStartPoints, config.StartPointBlock());
  return job.Start();
}

bool StartLoadDefaults(LinkContext& context, bool configuration_only) {
  const int address = context.workspace.settings.controller_address;
  if (address != 1 && address != 255 &&
      !context.prompts.Ask(kLoadDefaultsQuestion)) {
    return false;
  }
  return Single(context, {.direction = JobDirection::kSend},
                RequestCode::kLoadDefaults, {Byte(configuration_only ? 1 : 0)});
}

bool StartRadioReset(LinkContext& context) {
  if (!context.workspace.settings.RadioOn() || context.job.running()) {
    return false;
  }
  JobBuilder job(context);
  if (!job.Prepare({.direction = JobDirection::kSend, .skip_guard = true}))
    return false;
  context.job.reset_marks().radio_box.store(true);
  job.Add(RequestCode::kResetRadio);
  if (job.Start()) return true;
  context.job.reset_marks().radio_box.store(false);
  return false;
}

bool StartStopProgram(LinkContext& context) {
  return Single(context, {.direction = JobDirection::kSend},
                RequestCode::kStopProgram);
}

bool StartResumeProgram(LinkContext& context) {
  return Single(context, {.direction = JobDirection::kSend},
                RequestCode::kResumeProgram);
}

bool StartStepCommand(LinkContext& context, const EditorSide& editor) {
  if (!ValidSegment(editor.current_segment)) return false;
  JobBuilder job(context);
  if (!job.Prepare({.direction = JobDirection::kReceive})) return false;
  job.Add(RequestCode::kStepCommand, {Byte(editor.current_segment - 1)});
  job.Add(RequestCode::kReadRegisters);
  job.Add(RequestCode::kReadPosition);
  return job.Start();
}

bool StartSetStopPoint(LinkContext& context, const EditorSide& editor) {
  if (!ValidRow(editor)) return false;
  return Single(context, {.direction = JobDirection::kSend},
                RequestCode::kSetStopPoint,
                {Byte(editor.current_segment - 1), Byte(editor.selected_row)});
}

bool StartRunFrom(LinkContext& context, const EditorSide& editor) {
  if (!ValidRow(editor)) return false;
  return RunFrom(context, editor.current_segment - 1, editor.selected_row);
}

bool StartWriteSelectedCommand(LinkContext& context, const EditorSide& editor) {
  if (!ValidRow(editor)) return false;
  JobBuilder job(context);
  if (!job.Prepare({.direction = JobDirection::kSend})) return false;
  CommitGrid(editor);
  ClearReturnStack(editor);
  const int segment = editor.current_segment - 1;
  const Command c =
      context.workspace.store.CommandAt(segment, editor.selected_row);
  job.Add(RequestCode::kWriteCommand, {Byte(segment), Byte(editor.selected_row),
                                       c.code, c.param1, c.param2});
  return job.Start();
}

bool StartReadControllerNumber(LinkContext& context) {
  if (!context.prompts.Ask(kSingleControllerQuestion)) return false;
  return Single(context,
                {.direction = JobDirection::kReceive,
                 .post_process = true,
                 .broadcast_query = true,
                 .skip_guard = true},
                RequestCode::kReadControllerNumber);
}

bool StartWriteControllerNumber(LinkContext& context) {
  if (context.workspace.settings.controller_address == 255) {
    context.prompts.ShowWarning(kNoBroadcastNumberWarning);
    return false;
  }
  const int number = context.workspace.config_page.new_controller_number;
  return Single(context,
                {.direction = JobDirection::kSend, .post_process = true},
                RequestCode::kWriteControllerNumber, {Byte(number & 0xFF)});
}

bool StartSelectTempo(LinkContext& context, int tempo) {
  if (tempo < 1 || tempo > kTempoMultiplierCount) return false;
  return Single(context, {.direction = JobDirection::kSend, .skip_guard = true},
                RequestCode::kSelectTempo, {Byte(tempo - 1)});
}

bool StartRunStartPoint(LinkContext& context, int number) {
  if (number < 1 || number > kStartPointCount) return false;
  if (context.workspace.config_page.index_mode) {
    return Single(context,
                  {.direction = JobDirection::kSend, .skip_guard = true},
                  RequestCode::kRunStartPointByIndex, {Byte(number - 1)});
  }
  const StartPoint point =
      ConstControllerConfig(context.workspace.store.image())
          .GetStartPoint(number);
  return RunFrom(context, point.segment_index, point.command_index);
}

bool StartAccessPointReset(LinkContext& context) {
  if (!context.workspace.settings.RadioOn()) return false;
  RadioResetMarks& marks = context.job.reset_marks();
  marks.access_point.store(true);
  if (context.job.running()) {
    if (context.job.ReplaceQueue(RequestCode::kResetRadio)) return true;
    // Too late for the running job: no stale mark for the next one.
    marks.access_point.store(false);
    return false;
  }
  if (Single(context, {.direction = JobDirection::kSend, .skip_guard = true},
             RequestCode::kResetRadio)) {
    return true;
  }
  marks.access_point.store(false);
  return false;
}

bool StartReadClock(LinkContext& context) {
  const auto clock = ClockBytes(context.workspace.config_page.clock_time);
  JobBuilder job(context);
  if (!job.Prepare({.direction = JobDirection::kReceive, .post_process = true}))
    return false;
  job.Add(RequestCode::kReadClock, clock);
  return job.Start();
}

bool StartWriteClock(LinkContext& context) {
  ClockTime& clock = context.workspace.config_page.clock_time;
  FillClockFromLocalTime(clock);
  JobBuilder job(context);
  if (!job.Prepare({.direction = JobDirection::kSend, .post_process = true}))
    return false;
  job.Add(RequestCode::kWriteClock, ClockBytes(clock));
  return job.Start();
}

}  // namespace lumera
