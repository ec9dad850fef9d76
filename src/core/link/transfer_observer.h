// What the transfer worker tells the owner of the model. The worker never
// touches the Workspace: each effect is a call here, made in order from the
// worker thread. The application posts every call to its event loop; the
// command line and the tests apply them at once (DirectObserver).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/link/serial_port.h"

namespace lumera {

// One accepted reply with the request that asked for it. Fixed size, so it
// can be copied into a queued event.
struct ReplyRecord {
  std::uint8_t request_code = 0;
  std::uint8_t payload_size = 0;
  std::array<std::uint8_t, 32> payload{};  // the request's payload
  std::uint8_t reply_length = 0;           // R
  std::array<std::uint8_t, 128> reply{};   // the whole reply frame

  // Low seven bits of the reply's code byte.
  std::uint8_t reply_code() const { return reply[4] & 0x7F; }
  // Reply data byte k is frame byte 5 + k ("b5" is data(0)).
  std::uint8_t data(int k) const { return reply[5 + k]; }
};

class TransferObserver {
 public:
  virtual ~TransferObserver() = default;

  // Called by TransferJob::Start on the thread that starts the job, before
  // the worker exists; every other call comes from the worker.
  virtual void JobStarted() {}

  // Status line 1059.
  virtual void SetStatusLine(std::string_view text) = 0;
  // Progress bar 1074: range 0..maximum with step 1, then one step per frame
  // written, and position 0 when the worker ends.
  virtual void SetProgressRange(int maximum) = 0;
  virtual void StepProgress() = 0;
  virtual void ResetProgress() = 0;

  // A reply of a receive job (not a compared ReadCommand of a verification):
  // apply it with ApplyReply.
  virtual void ApplyReply(const ReplyRecord& record) = 0;
  // The last reply of a post-processed job: apply it with PostProcessReply.
  virtual void PostProcess(const ReplyRecord& record) = 0;

  // Hooks of the pages. LoadSegmentIntoGrid reloads the editor's
  // CurrentSegment, at the end of a job that read program commands only;
  // ShowControllerPosition takes 0-based indexes and also shows the
  // registers.
  virtual void LoadSegmentIntoGrid() = 0;
  virtual void RefreshConfigPage() = 0;
  virtual void RefreshMainStatus() = 0;
  virtual void ShowControllerPosition(int segment_index, int command_index) = 0;

  // A ReadErrorReport reply was applied: show the report at the next
  // message the main window handles.
  virtual void ErrorReportPending() {}

  // The job failed because the port did: it could not be opened or set up,
  // or a write or read failed. `failure` is a copy of the port's own record
  // (status text, errno, the system's reason), so the windows and the command
  // line can say why after the port is gone. Called once, after the job's
  // final status text and before JobFinished.
  virtual void PortFailed(const PortFailure& failure) { (void)failure; }

  // Last call of a job: the job is reset and another may be prepared.
  // `succeeded` is false when the job ended with a failure text.
  virtual void JobFinished(bool succeeded) = 0;
};

}  // namespace lumera
