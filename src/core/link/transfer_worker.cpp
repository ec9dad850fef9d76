#include "core/link/transfer_worker.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace lumera {
std::string_view TransferWorker::Format(const char* format, int a, int b) {
  const int length =
      std::snprintf(status_text_.data(), status_text_.size(), format, a, b);
  return {status_text_.data(),
          std::min(static_cast<std::size_t>(std::max(length, 0)),
                   status_text_.size() - 1)};
}

TransferWorker::TransferWorker(JobSharedState& shared,
                               TransferObserver& observer,
                               std::unique_ptr<SerialPort> port)
    : shared_(shared), observer_(observer), port_(std::move(port)) {
  reply_.fill(0xFF);
  last_reply_.reply.fill(0xFF);
}

void TransferWorker::Run() {
  int count = 0;
  {
    std::lock_guard lock(shared_.queue_mutex);
    count = shared_.queue.count();
  }
  observer_.SetProgressRange(count);
  step_ = TransferStep::kOpenPort;
  while (step_ != TransferStep::kDone) Step();

  observer_.ResetProgress();
  tracing_ = nullptr;
  port_.reset();
  port_open_ = false;
  outcome_.failure = failure_;
  // Running is cleared before the job is freed: a job prepared in between
  // would otherwise find the worker still running, fail to queue or start,
  // and stay prepared for good, refusing every later job.
  shared_.running.store(false, std::memory_order_release);
  shared_.Reset();
  observer_.JobFinished(outcome_);
}

void TransferWorker::Step() {
  // Every step first honours an abort or a failure recorded by the step
  // before it.
  if (shared_.abort_requested.load() || failure_ != TransferFailure::kNone) {
    shared_.abort_requested.store(false);
    if (failure_ == TransferFailure::kNone) Fail(TransferFailure::kAbort);
    step_ = TransferStep::kClosePort;
  }
  switch (step_) {
    case TransferStep::kOpenPort:
      return OpenPort();
    case TransferStep::kSetBuffers:
      return SetBuffers();
    case TransferStep::kSetLine:
      return SetLine();
    case TransferStep::kSetTimeouts:
      return SetTimeouts();
    case TransferStep::kNextRequest:
      return NextRequest();
    case TransferStep::kSendFrame:
      return SendFrame();
    case TransferStep::kAfterSend:
      return AfterSend();
    case TransferStep::kReceiveReply:
      return ReceiveReply();
    case TransferStep::kFinishJob:
      return FinishJob();
    case TransferStep::kWaitController:
      return WaitController();
    case TransferStep::kClosePort:
      return ClosePort();
    case TransferStep::kDone:
      return;
  }
}

void TransferWorker::Fail(TransferFailure failure) {
  failure_ = failure;
  if (failure != TransferFailure::kVerification) {
    failure_text_ = std::string(FailureText(failure));
  }
}

void TransferWorker::FailPort(TransferFailure failure) {
  // A wait the abort cut short is no fault of the port: the next step ends
  // the job as aborted.
  if (shared_.abort_requested.load()) return;
  Fail(failure);
  // Copied now: purging and closing the port must not change what is told.
  if (port_ != nullptr) port_failure_ = port_->LastFailure();
}

RadioSettings TransferWorker::CurrentRadio() const {
  RadioSettings radio;
  radio.enabled = shared_.radio_on.load();
  radio.mode = shared_.radio_mode.load();
  radio.target_address = shared_.target_radio_address.load();
  radio.access_point_address = shared_.access_point_address.load();
  return radio;
}

void TransferWorker::OpenPort() {
  port_number_ = shared_.port_number.load();
  observer_.SetStatusLine(Format(kOpeningPortFormat, port_number_));
  const PortAccess& access = shared_.port_access;
  tracing_ = nullptr;
  if (access.trace != nullptr && port_ != nullptr) {
    auto tracing = std::make_unique<TracingSerialPort>(
        std::move(port_), *access.trace, TracingSerialPort::Clock::now());
    tracing_ = tracing.get();
    port_ = std::move(tracing);
  }
  if (port_ != nullptr) {
    port_->SetAbortCheck([this] { return shared_.abort_requested.load(); });
  }
  const std::string name =
      access.name ? access.name(port_number_) : ComPortName(port_number_);
  if (port_ == nullptr || !port_->Open(name)) {
    FailPort(TransferFailure::kOpen);
  } else {
    port_open_ = true;
  }
  step_ = TransferStep::kSetBuffers;
}

void TransferWorker::SetBuffers() {
  if (!port_->SetBuffers(kDriverBufferSize, kDriverBufferSize)) {
    FailPort(TransferFailure::kBuffers);
  }
  step_ = TransferStep::kSetLine;
}

void TransferWorker::SetLine() {
  if (!port_->SetLine(LineSettings{})) FailPort(TransferFailure::kLine);
  step_ = TransferStep::kSetTimeouts;
}

void TransferWorker::SetTimeouts() {
  step_ = TransferStep::kNextRequest;
  if (!port_->SetTimeouts(shared_.port_access.timing)) {
    return FailPort(TransferFailure::kTimeouts);
  }
  port_->Purge();
  {
    std::lock_guard lock(shared_.queue_mutex);
    shared_.queue.RewindRead();
  }
  const int address = shared_.controller_address.load();
  if (shared_.direction == JobDirection::kSend) {
    observer_.SetStatusLine(
        Format("Nadawanie przez COM%d do sterownika nr %d ...", port_number_,
               address));
  } else if (shared_.broadcast_query) {
    observer_.SetStatusLine(kBroadcastQueryText);
  } else {
    observer_.SetStatusLine(Format("Odbiór przez COM%d ze sterownika nr %d ...",
                                   port_number_, address));
  }
}

void TransferWorker::NextRequest() {
  bool taken = false;
  {
    std::lock_guard lock(shared_.queue_mutex);
    taken = shared_.queue.Take(request_);
    if (!taken) shared_.queue_closed = true;
  }
  if (!taken) {
    step_ = TransferStep::kFinishJob;
    return;
  }
  reply_length_ = request_.reply_length & 0x7F;
  const std::uint8_t destination =
      shared_.broadcast_query
          ? kBroadcastDestination
          : static_cast<std::uint8_t>(shared_.controller_address.load());
  const std::span<const std::uint8_t> code_and_payload(
      &request_.code, 1 + static_cast<std::size_t>(request_.payload_size()));
  // The code and the payload are adjacent in QueuedRequest.
  static_assert(offsetof(QueuedRequest, payload) ==
                offsetof(QueuedRequest, code) + 1);
  if (!BuildRequestFrame(destination, request_.length, code_and_payload, frame_,
                         shared_.fixed_byte)) {
    frame_.length = 0;
  }
  step_ = TransferStep::kSendFrame;
}

void TransferWorker::SendFrame() {
  port_->Purge();
  if (tracing_ != nullptr) tracing_->SetRequest(request_.code);
  // A reset mark is set together with the ResetRadio request that must carry
  // it; the access point's "Reset" may be pressed while another frame of the
  // running job is being written, and that frame must not take the mark.
  RadioResetMarks no_marks;
  RadioResetMarks& marks =
      request_.code == static_cast<std::uint8_t>(RequestCode::kResetRadio)
          ? shared_.reset_marks
          : no_marks;
  const int written = frame_.length > 0 ? WriteFrame(*port_, frame_.View(),
                                                     CurrentRadio(), marks)
                                        : kEmptyFrame;
  if (frame_.length == 0) {
    Fail(TransferFailure::kWrite);
  } else if (written != frame_.length) {
    FailPort(TransferFailure::kWrite);
  }
  step_ = TransferStep::kAfterSend;
}

void TransferWorker::AfterSend() {
  observer_.StepProgress();
  const auto code = static_cast<RequestCode>(request_.code);
  if (code == RequestCode::kRestartController ||
      code == RequestCode::kLoadDefaults) {
    observer_.SetStatusLine(code == RequestCode::kRestartController
                                ? kRestartWaitText
                                : kEepromWaitText);
    wait_counter_ = kControllerWaitRounds;
    step_ = TransferStep::kWaitController;
    return;
  }
  step_ = reply_length_ > 0 ? TransferStep::kReceiveReply
                            : TransferStep::kNextRequest;
}

void TransferWorker::ReceiveReply() {
  step_ = TransferStep::kNextRequest;
  const RadioSettings radio = CurrentRadio();
  bool frame_complete = false;
  const int count = ReadReply(*port_, radio, reply_, reply_length_,
                              shared_.abort_requested, frame_complete);
  const ReplyCheck check =
      count == kReplyReadFailed
          ? ReplyCheck::kTooShort
          : CheckReadReply(reply_, count, reply_length_, frame_complete);
  if (tracing_ != nullptr) {
    // A radio reply comes inside its envelope: all of it is the reply.
    tracing_->FlushReads(check != ReplyCheck::kAccepted ? 0
                         : radio.enabled                ? kWholeRead
                                                        : reply_length_);
  }
  if (count == kReplyReadFailed) return FailPort(TransferFailure::kReplyLength);
  // An abort ends the read at once; what it cut short is no reply fault.
  if (check != ReplyCheck::kAccepted && shared_.abort_requested.load()) return;
  switch (check) {
    case ReplyCheck::kTooShort:
      outcome_.nothing_received = count == 0;
      return Fail(TransferFailure::kReplyLength);
    case ReplyCheck::kBadChecksum:
      return Fail(TransferFailure::kReplyChecksum);
    case ReplyCheck::kAccepted:
      break;
  }
  ++outcome_.replies;
  ReplyRecord& record = last_reply_;
  record.request_code = request_.code;
  record.payload_size = static_cast<std::uint8_t>(
      std::min<int>(request_.payload_size(), record.payload.size()));
  std::copy_n(request_.payload.begin(), record.payload_size,
              record.payload.begin());
  record.reply_length = static_cast<std::uint8_t>(reply_length_);
  record.reply.fill(0xFF);
  std::copy_n(reply_.begin(),
              std::min<std::size_t>(reply_length_, record.reply.size()),
              record.reply.begin());

  // Replies of send jobs are checked and otherwise ignored.
  if (shared_.direction != JobDirection::kReceive) return;
  // A verification compares the answer to every ReadCommand it sent, also
  // one that came back with another code.
  if (shared_.verify &&
      request_.code == static_cast<std::uint8_t>(RequestCode::kReadCommand)) {
    Verify(record);
    return;
  }
  const auto code = static_cast<RequestCode>(record.reply_code());
  observer_.ReplyReceived(record);
  switch (code) {
    case RequestCode::kReadPosition:
      observer_.PositionReported(record.data(0), record.data(1));
      break;
    case RequestCode::kReadErrorReport:
      observer_.ErrorReportRead();
      break;
    default:
      break;
  }
}

bool TransferWorker::Verify(const ReplyRecord& record) {
  // The place comes from the request sent, not from the reply.
  if (record.payload_size < 2) return true;
  const int segment = record.payload[0];
  const int command = record.payload[1];
  if (segment >= kSegmentCount || command >= kCommandsPerSegment) return true;
  const std::size_t offset = CommandOffset(segment, command);
  const Command expected{shared_.verify_image[offset],
                         shared_.verify_image[offset + 1],
                         shared_.verify_image[offset + 2]};
  const Command received{record.data(0), record.data(1), record.data(2)};
  const bool read_command =
      record.reply_code() ==
      static_cast<std::uint8_t>(RequestCode::kReadCommand);
  if (read_command && received == expected) return true;
  observer_.PositionReported(segment, command);
  Fail(TransferFailure::kVerification);
  failure_text_ = VerificationFailureText(segment, command, received);
  return false;
}

void TransferWorker::FinishJob() {
  if (shared_.post_process) observer_.FinalReplyReceived(last_reply_);
  observer_.RequestsCompleted();
  step_ = TransferStep::kClosePort;
}

void TransferWorker::WaitController() {
  if (wait_counter_ > 0) {
    --wait_counter_;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return;
  }
  step_ = TransferStep::kClosePort;
}

void TransferWorker::ClosePort() {
  if (port_open_) {
    port_->Purge();
    port_->Close();
    port_open_ = false;
  }
  observer_.SetStatusLine(failure_ == TransferFailure::kNone
                              ? kSuccessText
                              : std::string_view(failure_text_));
  if (port_failure_) observer_.PortFailed(*port_failure_);
  step_ = TransferStep::kDone;
}

}  // namespace lumera
