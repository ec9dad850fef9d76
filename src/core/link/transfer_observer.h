// What happened on the line, told by the transfer worker to the owner of the
// model. The worker never touches the Workspace and decides nothing about
// what is shown: each event is a call here, made in order from the worker
// thread. The application posts every call to its event loop; the command
// line and the tests take them on their own thread (DirectObserver).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/link/job_outcome.h"
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

  // A reply of a receive job (not a compared ReadCommand of a
  // verification); the owner applies it with ApplyReply.
  virtual void ReplyReceived(const ReplyRecord& record) = 0;
  // The last reply of a job prepared with post-processing, after every
  // request was answered; the owner applies it with PostProcessReply.
  virtual void FinalReplyReceived(const ReplyRecord& record) = 0;

  // The controller reported its place (ReadPosition, whose reply also holds
  // the registers), or a verification found a difference there. 0-based.
  virtual void PositionReported(int segment_index, int command_index) = 0;
  // A ReadErrorReport reply was received.
  virtual void ErrorReportRead() {}
  // Every request of the job was answered (after FinalReplyReceived, before
  // the final status text). A job that fails or is aborted never says so.
  virtual void RequestsCompleted() = 0;

  // The job failed because the port did: it could not be opened or set up,
  // or a write or read failed. `failure` is a copy of the port's own record
  // (status text, errno, the system's reason), so the windows and the command
  // line can say why after the port is gone. Called once, after the job's
  // final status text and before JobFinished.
  virtual void PortFailed(const PortFailure& failure) { (void)failure; }

  // Last call of a job: the job is reset and another may be prepared.
  virtual void JobFinished(const JobOutcome& outcome) = 0;
};

}  // namespace lumera
