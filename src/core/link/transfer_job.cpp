#include "core/link/transfer_job.h"

#include <cstdio>
#include <optional>
#include <system_error>
#include <utility>

#include "core/link/transfer_worker.h"

namespace lumera {

std::string_view FailureText(TransferFailure failure) {
  switch (failure) {
    case TransferFailure::kNone:
      return kSuccessText;
    case TransferFailure::kOpen:
      return kOpenPortFailedText;
    case TransferFailure::kBuffers:
      return kSetBuffersFailedText;
    case TransferFailure::kLine:
      return kSetLineFailedText;
    case TransferFailure::kTimeouts:
      return kSetTimeoutsFailedText;
    case TransferFailure::kWrite:
      return kWriteFailedText;
    case TransferFailure::kReplyLength:
      return kReplyTooShortText;
    case TransferFailure::kReplyChecksum:
      return kReplyChecksumText;
    case TransferFailure::kVerification:
      return "Błąd weryfikacji";
    case TransferFailure::kAbort:
      return kAbortText;
  }
  return {};
}

std::string VerificationFailureText(int segment_index, int command_index,
                                    const Command& received) {
  char text[96];
  std::snprintf(text, sizeof text,
                "Błąd weryfikacji: %i/%i= [%02X.%02X.%02X] hex",
                segment_index + 1, command_index + 1, received.code,
                received.param1, received.param2);
  return text;
}

TransferJob::TransferJob() = default;

TransferJob::~TransferJob() {
  RequestAbort();
  Join();
}

bool TransferJob::SetPortAccess(PortAccess access) {
  if (running_.load()) return false;
  Join();
  port_access_ = std::move(access);
  return true;
}

void TransferJob::SetLineValues(const LineValues& values) {
  port_number_.store(values.port_number);
  controller_address_.store(values.controller_address);
  radio_on_.store(values.radio.enabled);
  radio_mode_.store(values.radio.mode);
  target_radio_address_.store(values.radio.target_address);
  access_point_address_.store(values.radio.access_point_address);
}

LineValues TransferJob::line_values() const {
  LineValues values;
  values.port_number = port_number_.load();
  values.controller_address = controller_address_.load();
  values.radio.enabled = radio_on_.load();
  values.radio.mode = radio_mode_.load();
  values.radio.target_address = target_radio_address_.load();
  values.radio.access_point_address = access_point_address_.load();
  return values;
}

bool TransferJob::Prepare(const JobOptions& options, JobPrompts& prompts) {
  if (prepared_.load(std::memory_order_acquire)) return false;
  if (!options.skip_guard) {
    const bool reaches_all = radio_on_.load()
                                 ? radio_mode_.load() == RadioMode::kAll
                                 : controller_address_.load() == 255;
    if (reaches_all) {
      prompts.ShowWarning(kBroadcastRefusedText);
      return false;
    }
  }
  direction_ = options.direction;
  post_process_ = options.post_process;
  broadcast_query_ = options.broadcast_query;
  verify_ = false;
  fixed_byte_ = kFixedFrameByte;
  {
    std::lock_guard lock(queue_mutex_);
    queue_.Clear();
    queue_closed_ = false;
  }
  prepared_.store(true, std::memory_order_release);
  return true;
}

void TransferJob::Cancel() {
  if (!prepared_.load() || running_.load()) return;
  Reset();
}

bool TransferJob::Queue(RequestCode code,
                        std::span<const std::uint8_t> payload) {
  if (!prepared_.load() || running_.load()) return false;
  const std::optional<std::uint8_t> reply_length =
      ReplyLengthFor(code, payload);
  if (!reply_length) return false;
  std::lock_guard lock(queue_mutex_);
  return queue_.Append(static_cast<std::uint8_t>(code), payload, *reply_length);
}

std::optional<std::uint8_t> TransferJob::ReplyLengthFor(
    RequestCode code, std::span<const std::uint8_t> payload) const {
  if (payload.size() > kMaxRequestPayload) return std::nullopt;
  const OperationDef* op = FindOperation(static_cast<std::uint8_t>(code));
  if (op == nullptr) return std::nullopt;
  // With "Wszystkie" no controller is expected to answer.
  return static_cast<std::uint8_t>(
      radio_mode_.load() == RadioMode::kAll ? 0 : op->reply_length);
}

void TransferJob::SetVerifyImage(const ProgramImage& image) {
  if (!prepared_.load() || running_.load()) return;
  verify_ = true;
  verify_image_ = image;
}

bool TransferJob::Start(TransferObserver& observer) {
  if (running_.load() || !prepared_.load()) return false;
  Join();
  abort_requested_.store(false);
  running_.store(true);
  observer.JobStarted();
  // Made here rather than on the worker, so that a running job allocates
  // nothing of its own.
  std::unique_ptr<SerialPort> port =
      port_access_.create ? port_access_.create() : CreateSystemSerialPort();
  try {
    thread_ = std::thread([this, &observer, port = std::move(port)]() mutable {
      TransferWorker worker(*this, observer, std::move(port));
      worker.Run();
    });
  } catch (const std::system_error&) {
    Reset();
    running_.store(false);
    observer.SetStatusLine(kThreadFailedText);
    observer.JobFinished(false);
    return false;
  }
  return true;
}

bool TransferJob::RequestAbort() {
  if (!running_.load()) return false;
  abort_requested_.store(true);
  return true;
}

bool TransferJob::ReplaceQueue(RequestCode code,
                               std::span<const std::uint8_t> payload) {
  const std::optional<std::uint8_t> reply_length =
      ReplyLengthFor(code, payload);
  if (!reply_length) return false;
  std::lock_guard lock(queue_mutex_);
  if (!running_.load() || queue_closed_) return false;
  queue_.Clear();
  return queue_.Append(static_cast<std::uint8_t>(code), payload, *reply_length);
}

bool TransferJob::has_queued_requests() const {
  std::lock_guard lock(queue_mutex_);
  return !queue_.empty();
}

void TransferJob::Join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
    thread_.join();
  }
}

void TransferJob::Reset() {
  direction_ = JobDirection::kSend;
  post_process_ = false;
  broadcast_query_ = false;
  verify_ = false;
  {
    std::lock_guard lock(queue_mutex_);
    queue_.Clear();
    queue_closed_ = false;
  }
  prepared_.store(false, std::memory_order_release);
}

}  // namespace lumera
