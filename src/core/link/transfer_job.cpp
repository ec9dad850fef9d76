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
    case TransferFailure::kThread:
      return kThreadFailedText;
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
  if (shared_.running.load()) return false;
  Join();
  shared_.port_access = std::move(access);
  return true;
}

void TransferJob::SetLineValues(const LineValues& values) {
  shared_.port_number.store(values.port_number);
  shared_.controller_address.store(values.controller_address);
  shared_.radio_on.store(values.radio.enabled);
  shared_.radio_mode.store(values.radio.mode);
  shared_.target_radio_address.store(values.radio.target_address);
  shared_.access_point_address.store(values.radio.access_point_address);
}

std::string TransferJob::PortName(int port_number) const {
  const PortAccess& access = shared_.port_access;
  return access.name ? access.name(port_number) : ComPortName(port_number);
}

LineValues TransferJob::line_values() const {
  LineValues values;
  values.port_number = shared_.port_number.load();
  values.controller_address = shared_.controller_address.load();
  values.radio.enabled = shared_.radio_on.load();
  values.radio.mode = shared_.radio_mode.load();
  values.radio.target_address = shared_.target_radio_address.load();
  values.radio.access_point_address = shared_.access_point_address.load();
  return values;
}

bool TransferJob::Prepare(const JobOptions& options, JobPrompts& prompts) {
  if (shared_.prepared.load(std::memory_order_acquire)) return false;
  if (!options.skip_guard) {
    const bool reaches_all = shared_.radio_on.load()
                                 ? shared_.radio_mode.load() == RadioMode::kAll
                                 : shared_.controller_address.load() == 255;
    if (reaches_all) {
      prompts.ShowWarning(kBroadcastRefusedText);
      return false;
    }
  }
  shared_.direction = options.direction;
  shared_.post_process = options.post_process;
  shared_.broadcast_query = options.broadcast_query;
  shared_.verify = false;
  shared_.fixed_byte = kFixedFrameByte;
  {
    std::lock_guard lock(shared_.queue_mutex);
    shared_.queue.Clear();
    shared_.queue_closed = false;
  }
  shared_.prepared.store(true, std::memory_order_release);
  return true;
}

void TransferJob::Cancel() {
  if (!shared_.prepared.load() || shared_.running.load()) return;
  shared_.Reset();
}

bool TransferJob::Queue(RequestCode code,
                        std::span<const std::uint8_t> payload) {
  if (!shared_.prepared.load() || shared_.running.load()) return false;
  const std::optional<std::uint8_t> reply_length =
      ReplyLengthFor(code, payload);
  if (!reply_length) return false;
  std::lock_guard lock(shared_.queue_mutex);
  return shared_.queue.Append(static_cast<std::uint8_t>(code), payload,
                              *reply_length);
}

std::optional<std::uint8_t> TransferJob::ReplyLengthFor(
    RequestCode code, std::span<const std::uint8_t> payload) const {
  if (payload.size() > kMaxRequestPayload) return std::nullopt;
  const OperationDef* op = FindOperation(static_cast<std::uint8_t>(code));
  if (op == nullptr) return std::nullopt;
  // With "Wszystkie" no controller is expected to answer.
  return static_cast<std::uint8_t>(
      shared_.radio_mode.load() == RadioMode::kAll ? 0 : op->reply_length);
}

void TransferJob::SetVerifyImage(const ProgramImage& image) {
  if (!shared_.prepared.load() || shared_.running.load()) return;
  shared_.verify = true;
  shared_.verify_image = image;
}

bool TransferJob::Start(TransferObserver& observer) {
  if (shared_.running.load() || !shared_.prepared.load()) return false;
  Join();
  shared_.abort_requested.store(false);
  shared_.running.store(true);
  observer.JobStarted();
  // Made here rather than on the worker, so that a running job allocates
  // nothing of its own.
  std::unique_ptr<SerialPort> port = shared_.port_access.create
                                         ? shared_.port_access.create()
                                         : CreateSystemSerialPort();
  try {
    thread_ = std::thread([this, &observer, port = std::move(port)]() mutable {
      TransferWorker worker(shared_, observer, std::move(port));
      worker.Run();
    });
  } catch (const std::system_error&) {
    shared_.Reset();
    shared_.running.store(false);
    observer.SetStatusLine(kThreadFailedText);
    observer.JobFinished(JobOutcome{.failure = TransferFailure::kThread});
    return false;
  }
  return true;
}

bool TransferJob::RequestAbort() {
  if (!shared_.running.load()) return false;
  shared_.abort_requested.store(true);
  return true;
}

bool TransferJob::ReplaceQueue(RequestCode code,
                               std::span<const std::uint8_t> payload) {
  const std::optional<std::uint8_t> reply_length =
      ReplyLengthFor(code, payload);
  if (!reply_length) return false;
  std::lock_guard lock(shared_.queue_mutex);
  if (!shared_.running.load() || shared_.queue_closed) return false;
  shared_.queue.Clear();
  return shared_.queue.Append(static_cast<std::uint8_t>(code), payload,
                              *reply_length);
}

bool TransferJob::has_queued_requests() const {
  std::lock_guard lock(shared_.queue_mutex);
  return !shared_.queue.empty();
}

void TransferJob::Join() {
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
    thread_.join();
  }
}

void JobSharedState::Reset() {
  direction = JobDirection::kSend;
  post_process = false;
  broadcast_query = false;
  verify = false;
  {
    std::lock_guard lock(queue_mutex);
    queue.Clear();
    queue_closed = false;
  }
  prepared.store(false, std::memory_order_release);
}

}  // namespace lumera
