// How a job ended, as a value. What a caller does next (retry, count a
// controller absent, keep or drop what was read) is decided from this,
// never from the status text the job left.
#pragma once

namespace lumera {

enum class TransferFailure {
  kNone,
  kOpen,
  kBuffers,
  kLine,
  kTimeouts,
  kWrite,
  kReplyLength,
  kReplyChecksum,
  kVerification,
  kAbort,
  kThread,  // the worker thread could not be made
};

struct JobOutcome {
  TransferFailure failure = TransferFailure::kNone;
  // Replies that passed the length and checksum checks.
  int replies = 0;
  // The read that failed got not a single byte.
  bool nothing_received = false;

  bool succeeded() const { return failure == TransferFailure::kNone; }
  bool aborted() const { return failure == TransferFailure::kAbort; }
  bool port_failed() const {
    return failure == TransferFailure::kOpen ||
           failure == TransferFailure::kBuffers ||
           failure == TransferFailure::kLine ||
           failure == TransferFailure::kTimeouts;
  }
  // Not one byte came back to the job's first request: nobody answers to
  // the number asked.
  bool silent() const {
    return failure == TransferFailure::kReplyLength && replies == 0 &&
           nothing_received;
  }
};

}  // namespace lumera
