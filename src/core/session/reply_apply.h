// The effects of replies on the workspace, applied on the thread that owns
// it, and an observer that does so for the command line and the tests.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/link/transfer_observer.h"
#include "core/model/received_program.h"

namespace lumera {

struct Workspace;

// A reply of a receive job (dispatch on the reply code's low seven bits;
// codes without an effect change nothing). ReadCommand goes into the job's
// copy (Workspace::received) at the place the request named, not into the
// store. Returns true when the reply changed something.
bool ApplyReply(Workspace& workspace, const ReplyRecord& record);

// The end of a job, on the thread that owns the workspace: when it ended well
// and read every command it asked for, those commands replace the store's
// and their comments are deleted. Returns the segments replaced: none after
// a failure or an abort, or when the job read no command.
SegmentSet EndReceivedProgram(Workspace& workspace, const JobOutcome& outcome);
// The segment the editor shows (CurrentSegment) is one of `segments`: only
// then does it reload, as a reload drops what was not written back.
bool ShowsOneOf(const Workspace& workspace, const SegmentSet& segments);

// The post-processing of the last reply of a job prepared with post-process:
// WriteControllerNumber (the number sent becomes byte 0 of the record, then
// SyncControllerNumber), WriteClock and ReadClock (ClockTime from the reply).
bool PostProcessReply(Workspace& workspace, const ReplyRecord& record);

// Carries the worker's calls over to the thread that calls WaitForJob (or
// Pump), in order, and applies reply effects to the workspace there: the
// configuration and main status refreshes when the requests are all
// answered, the editor's when the job's end replaced the segment it shows.
// The hooks are optional callbacks; the texts and progress are recorded.
class DirectObserver : public TransferObserver {
 public:
  explicit DirectObserver(Workspace& workspace);

  // Optional hooks, run on the waiting thread.
  std::function<void(const std::string&)> on_status_line;
  std::function<void()> on_load_segment;
  std::function<void()> on_refresh_config;
  std::function<void()> on_refresh_main_status;
  std::function<void(int, int)> on_show_position;
  std::function<void()> on_error_report_pending;
  std::function<void(int position, int maximum)> on_progress;
  std::function<void(const PortFailure&)> on_port_failed;

  // Runs the worker's calls as they come until the job started last has
  // finished (call it only after a Start that returned true); returns
  // whether the job succeeded.
  bool WaitForJob();
  // Runs the calls that are waiting; true when the job has finished.
  bool Pump();

  // Record of what the job did (read on the waiting thread).
  const std::vector<std::string>& status_lines() const { return status_lines_; }
  const std::string& last_status() const;
  int progress_maximum() const { return progress_maximum_; }
  int progress_position() const { return progress_position_; }
  int max_progress_reached() const { return max_progress_reached_; }
  // Progress steps of the job: one per frame written.
  int frames_written() const { return frames_written_; }
  int load_segment_calls() const { return load_segment_calls_; }
  int refresh_config_calls() const { return refresh_config_calls_; }
  int refresh_main_status_calls() const { return refresh_main_status_calls_; }
  const std::vector<std::pair<int, int>>& positions_shown() const {
    return positions_shown_;
  }
  // Why the port failed, when the job ended because it did.
  const std::optional<PortFailure>& port_failure() const {
    return port_failure_;
  }
  bool finished() const { return finished_; }
  bool succeeded() const { return outcome_.succeeded(); }
  // How the job ended; valid once finished().
  const JobOutcome& outcome() const { return outcome_; }
  // Forgets the record of the previous job.
  void ClearRecord();

  // TransferObserver, called by the worker thread.
  void JobStarted() override;
  void SetStatusLine(std::string_view text) override;
  void SetProgressRange(int maximum) override;
  void StepProgress() override;
  void ResetProgress() override;
  void ReplyReceived(const ReplyRecord& record) override;
  void FinalReplyReceived(const ReplyRecord& record) override;
  void PositionReported(int segment_index, int command_index) override;
  void ErrorReportRead() override;
  void RequestsCompleted() override;
  void PortFailed(const PortFailure& failure) override;
  void JobFinished(const JobOutcome& outcome) override;

 private:
  void Post(std::function<void()> call);
  // Runs the waiting calls; `wait` blocks until at least one came.
  void RunWaiting(bool wait);

  Workspace& workspace_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::function<void()>> calls_;

  std::vector<std::string> status_lines_;
  int progress_maximum_ = 0;
  int progress_position_ = 0;
  int max_progress_reached_ = 0;
  int frames_written_ = 0;
  int load_segment_calls_ = 0;
  int refresh_config_calls_ = 0;
  int refresh_main_status_calls_ = 0;
  std::vector<std::pair<int, int>> positions_shown_;
  std::optional<PortFailure> port_failure_;
  bool finished_ = false;
  JobOutcome outcome_;
};

}  // namespace lumera
