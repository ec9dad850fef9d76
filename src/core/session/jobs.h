// The jobs the buttons of the main window, the editor page and the
// configuration page start. The application and the command line call these
// same functions. Each returns true when the job was started; a refusal
// (another job under way, the broadcast guard, a question answered with
// Cancel, an empty grid) starts nothing.
#pragma once

#include <span>

#include "core/editor/shown_segment_editor.h"
#include "core/link/transfer_job.h"
#include "core/link/transfer_observer.h"
#include "core/model/received_program.h"

namespace lumera {

struct Workspace;

// The whole-program jobs (upload, download, verification) cover segments 1
// to this one.
inline constexpr int kWholeProgramSegments = 9;

// Question texts of the jobs.
inline constexpr std::string_view kLoadDefaultsQuestion =
    "Polecenie ustawi numer sterownika na 1. Kontynuować ?";
inline constexpr std::string_view kSingleControllerQuestion =
    "Czy do linii RS485 dolaczony jest tylko jeden sterownik ?";
inline constexpr std::string_view kNoBroadcastNumberWarning =
    "Adres sterownika dla komunikacji nie moze byc 255(broadcast) dla tego "
    "polecenia !";

// Everything a job needs from its caller. The worker never reads the
// workspace: payloads (and the bytes a verification compares against) are
// copied when the requests are queued.
struct LinkContext {
  Workspace& workspace;
  TransferJob& job;
  TransferObserver& observer;
  JobPrompts& prompts;
};

// What the editor page contributes. `current_segment` is 1..10; the selected
// row is 0-based; `shown` is the editor whose shown segment a job writes
// back first, or nullptr (the command line: nothing to commit, no stack).
struct EditorSide {
  int current_segment = 1;
  int grid_rows = 0;
  int selected_row = 0;
  ShownSegmentEditor* shown = nullptr;
};

// The values of the main window that the worker reads, taken from the
// workspace (port, controller number, radio option and mode, addresses).
LineValues LineValuesOf(const Workspace& workspace);

// One request as a job of its own, with the line values of the workspace.
// The command line reads single values this way (version, switches,
// registers, position) that the window reads only within larger jobs.
bool StartSingleRequest(LinkContext& context, const JobOptions& options,
                        RequestCode code,
                        std::span<const std::uint8_t> payload = {});

// Main window, transmission box.
bool StartDownloadProgram(LinkContext& context, const EditorSide& editor);
bool StartDownloadSegment(LinkContext& context, const EditorSide& editor);
// Reads the first `slots[s]` commands of each segment s into the received
// copy, as "POBIERZ" reads whole segments: for a comparison (DiffReceived)
// that costs what a program is long, not what the memory is large.
bool StartReadCommandSlots(LinkContext& context, const SlotCounts& slots);
bool StartVerifyProgram(LinkContext& context, const EditorSide& editor);
bool StartVerifySegment(LinkContext& context, const EditorSide& editor);
bool StartUploadProgram(LinkContext& context, const EditorSide& editor);
bool StartUploadSegment(LinkContext& context, const EditorSide& editor);
bool StartReadErrorReport(LinkContext& context);
// "R S T" of the main window and "RESTART" of the editor.
bool StartRestartController(LinkContext& context);

// Main window, configuration box.
bool StartReadConfiguration(LinkContext& context);
bool StartWriteConfiguration(LinkContext& context);
bool StartLoadDefaults(LinkContext& context, bool configuration_only);

// Main window, radio box "Reset": only with the radio option on and no
// worker running.
bool StartRadioReset(LinkContext& context);

// Editor page, run control.
bool StartStopProgram(LinkContext& context);
bool StartResumeProgram(LinkContext& context);
bool StartStepCommand(LinkContext& context, const EditorSide& editor);
bool StartSetStopPoint(LinkContext& context, const EditorSide& editor);
bool StartRunFrom(LinkContext& context, const EditorSide& editor);
bool StartWriteSelectedCommand(LinkContext& context, const EditorSide& editor);

// Configuration page.
bool StartReadControllerNumber(LinkContext& context);
bool StartWriteControllerNumber(LinkContext& context);
bool StartSelectTempo(LinkContext& context, int tempo);     // 1..8
bool StartRunStartPoint(LinkContext& context, int number);  // 1..16
// Access-point "Reset": with the radio option on; replaces the queue of a
// running job, else starts a job of its own.
bool StartAccessPointReset(LinkContext& context);
bool StartReadClock(LinkContext& context);
bool StartWriteClock(LinkContext& context);  // the computer's local time now

}  // namespace lumera
