#include "core/session/reply_apply.h"

#include <algorithm>
#include <utility>

#include "core/config/clock_time.h"
#include "core/config/config_page_values.h"
#include "core/config/controller_config.h"
#include "core/config/controller_status.h"
#include "core/link/operations.h"
#include "core/session/workspace.h"

namespace lumera {
namespace {

// A reply answered by another code than the one asked for may be shorter
// than its code's data; only data that actually arrived is taken.
bool HasData(const ReplyRecord& record, int data_bytes) {
  return record.reply_length >= 6 + data_bytes;
}

void CopyData(const ReplyRecord& record, std::span<std::uint8_t> target) {
  for (std::size_t k = 0; k < target.size(); ++k) {
    target[k] = record.data(static_cast<int>(k));
  }
}

}  // namespace

bool ApplyReply(Workspace& workspace, const ReplyRecord& record) {
  ProgramImage& image = workspace.store.mutable_image();
  const ControllerConfig config(image);
  switch (static_cast<RequestCode>(record.reply_code())) {
    case RequestCode::kReadPosition:
      if (!HasData(record, 2)) return false;
      workspace.link.position_segment = record.data(0);
      workspace.link.position_command = record.data(1);
      return true;
    case RequestCode::kReadControllerNumber:
      if (!HasData(record, 1)) return false;
      config.SetControllerNumber(record.data(0));
      workspace.config_page.new_controller_number = record.data(0);
      workspace.settings.controller_address = record.data(0);
      return true;
    case RequestCode::kReadCommand:
      // The place is the one asked for, not one the reply names.
      if (!HasData(record, 3) || record.payload_size < 2) return false;
      workspace.received.Receive(
          record.payload[0], record.payload[1],
          Command{record.data(0), record.data(1), record.data(2)});
      return true;
    case RequestCode::kReadConfiguration:
      if (!HasData(record, kConfigBlockSize)) return false;
      CopyData(record, config.GeneralBlock());
      workspace.config_page.new_controller_number = config.ControllerNumber();
      return true;
    case RequestCode::kReadStartPoints:
      if (!HasData(record, kConfigBlockSize)) return false;
      CopyData(record, config.StartPointBlock());
      return true;
    case RequestCode::kReadHardwareInfo:
      if (!HasData(record, 10)) return false;
      CopyData(record, workspace.link.hardware_info);
      workspace.status.switch_byte = record.data(6);
      workspace.status.flags = record.data(7);
      workspace.status.output_mask = record.data(8);
      return true;
    case RequestCode::kReadErrorReport:
      if (!HasData(record, 4)) return false;
      workspace.link.error_report.Store(record.data(0), record.data(1),
                                        record.data(2), record.data(3));
      return true;
    case RequestCode::kReadVersion:
      if (!HasData(record, 1)) return false;
      SetVersionFromByte(workspace.status, record.data(0));
      return true;
    case RequestCode::kReadRegisters:
      if (!HasData(record, kRegisterCount)) return false;
      CopyData(record, workspace.link.registers);
      return true;
    default:
      return false;
  }
}

bool PostProcessReply(Workspace& workspace, const ReplyRecord& record) {
  ProgramImage& image = workspace.store.mutable_image();
  switch (static_cast<RequestCode>(record.reply_code())) {
    case RequestCode::kWriteControllerNumber: {
      // The number that was sent, which the page may have changed since.
      const std::uint8_t sent =
          record.request_code == static_cast<std::uint8_t>(
                                     RequestCode::kWriteControllerNumber) &&
                  record.payload_size >= 1
              ? record.payload[0]
              : static_cast<std::uint8_t>(
                    workspace.config_page.new_controller_number & 0xFF);
      ControllerConfig(image).SetControllerNumber(sent);
      SyncControllerNumber(image, workspace.config_page);
      return true;
    }
    case RequestCode::kWriteClock:
    case RequestCode::kReadClock:
      if (!HasData(record, 3)) return false;
      workspace.config_page.clock_time =
          ClockTime{record.data(0), record.data(1), record.data(2)};
      workspace.status.clock = workspace.config_page.clock_time;
      return true;
    default:
      return false;
  }
}

SegmentSet EndReceivedProgram(Workspace& workspace, const JobOutcome& outcome) {
  ReceivedProgram& received = workspace.received;
  SegmentSet replaced;
  if (outcome.succeeded() && received.Complete()) {
    replaced = received.ReplaceIn(workspace.store);
  }
  received.JobEnded();
  return replaced;
}

bool ShowsOneOf(const Workspace& workspace, const SegmentSet& segments) {
  const int shown = workspace.settings.current_segment - 1;
  return shown >= 0 && shown < kSegmentCount &&
         segments.test(static_cast<std::size_t>(shown));
}

DirectObserver::DirectObserver(Workspace& workspace) : workspace_(workspace) {}

void DirectObserver::Post(std::function<void()> call) {
  // Notified under the lock: once the waiting thread sees JobFinished it may
  // destroy this observer.
  std::lock_guard lock(mutex_);
  calls_.push_back(std::move(call));
  arrived_.notify_one();
}

void DirectObserver::RunWaiting(bool wait) {
  std::deque<std::function<void()>> batch;
  {
    std::unique_lock lock(mutex_);
    if (wait) arrived_.wait(lock, [this] { return !calls_.empty(); });
    batch.swap(calls_);
  }
  for (auto& call : batch) call();
}

bool DirectObserver::WaitForJob() {
  while (!finished_) RunWaiting(true);
  return outcome_.succeeded();
}

bool DirectObserver::Pump() {
  RunWaiting(false);
  return finished_;
}

const std::string& DirectObserver::last_status() const {
  static const std::string kNone;
  return status_lines_.empty() ? kNone : status_lines_.back();
}

void DirectObserver::ClearRecord() {
  status_lines_.clear();
  progress_maximum_ = 0;
  progress_position_ = 0;
  max_progress_reached_ = 0;
  frames_written_ = 0;
  load_segment_calls_ = 0;
  refresh_config_calls_ = 0;
  refresh_main_status_calls_ = 0;
  positions_shown_.clear();
  port_failure_.reset();
  finished_ = false;
  outcome_ = JobOutcome{};
}

void DirectObserver::JobStarted() {
  workspace_.received.JobStarted();
  port_failure_.reset();
  finished_ = false;
  outcome_ = JobOutcome{};
}

void DirectObserver::SetStatusLine(std::string_view view) {
  Post([this, text = std::string(view)] {
    status_lines_.push_back(text);
    if (on_status_line) on_status_line(text);
  });
}

void DirectObserver::SetProgressRange(int maximum) {
  Post([this, maximum] {
    progress_maximum_ = maximum;
    progress_position_ = 0;
    max_progress_reached_ = 0;
    frames_written_ = 0;
    if (on_progress) on_progress(0, maximum);
  });
}

void DirectObserver::StepProgress() {
  Post([this] {
    ++frames_written_;
    if (progress_position_ < progress_maximum_) ++progress_position_;
    max_progress_reached_ = std::max(max_progress_reached_, progress_position_);
    if (on_progress) on_progress(progress_position_, progress_maximum_);
  });
}

void DirectObserver::ResetProgress() {
  Post([this] {
    progress_position_ = 0;
    if (on_progress) on_progress(0, progress_maximum_);
  });
}

void DirectObserver::ReplyReceived(const ReplyRecord& record) {
  Post([this, record] { ::lumera::ApplyReply(workspace_, record); });
}

void DirectObserver::FinalReplyReceived(const ReplyRecord& record) {
  Post([this, record] { PostProcessReply(workspace_, record); });
}

void DirectObserver::PositionReported(int segment_index, int command_index) {
  Post([this, segment_index, command_index] {
    positions_shown_.emplace_back(segment_index, command_index);
    if (on_show_position) on_show_position(segment_index, command_index);
  });
}

void DirectObserver::ErrorReportRead() {
  Post([this] {
    if (on_error_report_pending) on_error_report_pending();
  });
}

void DirectObserver::RequestsCompleted() {
  Post([this] {
    ++refresh_config_calls_;
    if (on_refresh_config) on_refresh_config();
    ++refresh_main_status_calls_;
    if (on_refresh_main_status) on_refresh_main_status();
  });
}

void DirectObserver::PortFailed(const PortFailure& failure) {
  Post([this, failure] {
    port_failure_ = failure;
    if (on_port_failed) on_port_failed(failure);
  });
}

void DirectObserver::JobFinished(const JobOutcome& outcome) {
  Post([this, outcome] {
    if (ShowsOneOf(workspace_, EndReceivedProgram(workspace_, outcome))) {
      ++load_segment_calls_;
      if (on_load_segment) on_load_segment();
    }
    finished_ = true;
    outcome_ = outcome;
  });
}

}  // namespace lumera
