// The step machine of one job, run on the worker thread. It owns the port
// for the length of the job and reaches the rest of the program only
// through the job's shared state and the observer.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/link/frames.h"
#include "core/link/serial_port.h"
#include "core/link/tracing_serial_port.h"
#include "core/link/transfer_job.h"
#include "core/link/transfer_observer.h"

namespace lumera {

class TransferWorker {
 public:
  // `port` is the job's port, not yet open (null: it cannot be opened).
  TransferWorker(JobSharedState& shared, TransferObserver& observer,
                 std::unique_ptr<SerialPort> port);

  // Runs every step until the machine ends, then resets the job.
  void Run();

 private:
  void Step();
  void OpenPort();
  void SetBuffers();
  void SetLine();
  void SetTimeouts();
  void NextRequest();
  void SendFrame();
  void AfterSend();
  void ReceiveReply();
  void FinishJob();
  void WaitController();
  void ClosePort();

  // A ReadCommand reply of a verification; false on the first difference.
  bool Verify(const ReplyRecord& record);
  void Fail(TransferFailure failure);
  // A failure of the port itself: also keeps the port's reason.
  void FailPort(TransferFailure failure);
  RadioSettings CurrentRadio() const;
  // Formats a status text into status_text_; valid until the next call.
  std::string_view Format(const char* format, int a, int b = 0);

  JobSharedState& shared_;
  TransferObserver& observer_;
  std::unique_ptr<SerialPort> port_;
  // The port again, when the job is traced (owned through port_).
  TracingSerialPort* tracing_ = nullptr;
  bool port_open_ = false;
  int port_number_ = 0;

  TransferStep step_ = TransferStep::kOpenPort;
  TransferFailure failure_ = TransferFailure::kNone;
  JobOutcome outcome_;
  std::string failure_text_;
  // The status texts with numbers are formatted here: no allocation.
  std::array<char, 200> status_text_{};
  std::optional<PortFailure> port_failure_;
  int wait_counter_ = 0;

  QueuedRequest request_;
  RequestFrame frame_;
  int reply_length_ = 0;
  ReplyBuffer reply_{};
  ReplyRecord last_reply_;
};

}  // namespace lumera
