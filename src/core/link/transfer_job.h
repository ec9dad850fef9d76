// One job at a time: its preparation, its queue of requests, the flags the
// user-interface thread and the worker thread share, and the worker thread.
//
// A caller's sequence is always Prepare -> (its own preparation: questions,
// committing the grid, SetVerifyImage) -> Queue... -> Start. While a job is
// prepared or running every other Prepare is refused silently.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "core/link/frames.h"
#include "core/link/job_outcome.h"
#include "core/link/line_trace.h"
#include "core/link/operations.h"
#include "core/link/request_queue.h"
#include "core/link/serial_port.h"
#include "core/link/transfer_observer.h"
#include "core/model/program_types.h"

namespace lumera {

enum class TransferStep {
  kOpenPort,
  kSetBuffers,
  kSetLine,
  kSetTimeouts,
  kNextRequest,
  kSendFrame,
  kAfterSend,
  kReceiveReply,
  kFinishJob,
  kWaitController,
  kClosePort,
  kDone,
};

inline constexpr std::string_view kSuccessText =
    "Operacja zakończona pomyślnie.";
inline constexpr std::string_view kAbortText = "Operacja przerwana !";
inline constexpr std::string_view kBroadcastRefusedText =
    "Tego polecenia nie można wysyłać do wszystkich sterowników !";
inline constexpr std::string_view kRestartWaitText =
    "  *** RESTART STEROWNIKA - POCZEKAJ! ***";
inline constexpr std::string_view kEepromWaitText =
    "* ZAPIS KONFIGURACJI DO EEPROM - POCZEKAJ! *";
inline constexpr std::string_view kBroadcastQueryText =
    "Zapytanie BROADCAST o numer sterownika...";
// Shown when the system cannot create the worker thread.
inline constexpr std::string_view kThreadFailedText =
    "Błąd uruchomienia wątku transmisji !";

// Text of a failure that has a fixed text (not the verification message).
std::string_view FailureText(TransferFailure failure);

// "Błąd weryfikacji: ..." for segment and command index (0-based) and the
// controller's three bytes.
std::string VerificationFailureText(int segment_index, int command_index,
                                    const Command& received);

// Rounds of 1 ms the worker waits after a restart or a default loading.
inline constexpr int kControllerWaitRounds = 80;

enum class JobDirection : std::uint8_t { kReceive = 0, kSend = 1 };

struct JobOptions {
  JobDirection direction = JobDirection::kSend;
  bool post_process = false;
  bool broadcast_query = false;  // frames go to 255
  bool skip_guard = false;       // the job may reach every controller
};

// The main window's values the worker reads while it runs. The user may
// change them during a job; the worker takes the new ones from its next
// frame on (the port number when it opens the port).
struct LineValues {
  int port_number = 1;
  int controller_address = 1;  // 1..255, 255 = every controller
  RadioSettings radio;         // option, RadioMode and the two addresses
};

// How the worker gets its port: by default the system's serial port opened
// as COM<PortNumber>. Tests inject a port and shorter time-outs.
struct PortAccess {
  std::function<std::unique_ptr<SerialPort>()> create;  // empty: system port
  std::function<std::string(int port_number)> name;     // empty: "COM<n>"
  SerialTiming timing;
  // Told every frame written and every reply or junk read, on the worker
  // thread; none: no trace. Must outlive every job that uses it.
  LineTraceSink* trace = nullptr;
};

// Asks and warns on behalf of a job; the application shows message boxes
// (caption "INFO"), the command line asks on its terminal or answers from
// its options.
class JobPrompts {
 public:
  virtual ~JobPrompts() = default;
  // Question with OK and Cancel; true for OK.
  virtual bool Ask(std::string_view text) = 0;
  virtual void ShowWarning(std::string_view text) = 0;
};

// What a job and its worker thread share: the job's preparation, the line
// values, the flags and the queue. The job fills it before the thread starts;
// the worker reads it, takes requests and frees it as it ends.
struct JobSharedState {
  PortAccess port_access;

  std::atomic<bool> prepared{false};
  std::atomic<bool> running{false};
  std::atomic<bool> abort_requested{false};
  RadioResetMarks reset_marks;

  // Set by Prepare on the user-interface thread before the thread starts,
  // cleared by the worker as it ends.
  JobDirection direction = JobDirection::kSend;
  bool post_process = false;
  bool broadcast_query = false;
  bool verify = false;
  std::uint8_t fixed_byte = 0xFF;
  ProgramImage verify_image{};

  // Line values, one word each.
  std::atomic<int> port_number{1};
  std::atomic<int> controller_address{1};
  std::atomic<bool> radio_on{false};
  std::atomic<RadioMode> radio_mode{RadioMode::kPoint};
  std::atomic<std::uint16_t> target_radio_address{0};
  std::atomic<std::uint16_t> access_point_address{0xFF00};

  mutable std::mutex queue_mutex;
  RequestQueue queue;         // guarded by queue_mutex
  bool queue_closed = false;  // the worker took its last entry

  // Frees the job for the next Prepare.
  void Reset();
};

class TransferJob {
 public:
  TransferJob();
  ~TransferJob();  // aborts a running worker and waits for it
  TransferJob(const TransferJob&) = delete;
  TransferJob& operator=(const TransferJob&) = delete;

  // Between jobs only (the worker reads it); false while one runs.
  bool SetPortAccess(PortAccess access);

  // Values the worker reads; callable at any time.
  void SetLineValues(const LineValues& values);
  LineValues line_values() const;
  // What the worker opens for `port_number` (between jobs, as SetPortAccess).
  std::string PortName(int port_number) const;

  // Refused silently while a job is prepared; refused by the broadcast
  // guard (with its warning) unless options.skip_guard.
  bool Prepare(const JobOptions& options, JobPrompts& prompts);
  // Gives up a prepared job that was never started.
  void Cancel();

  // Appends a request with the catalogue's reply length (0 while RadioMode
  // is All). False when the job is not prepared or the queue is full.
  bool Queue(RequestCode code, std::span<const std::uint8_t> payload = {});
  // Marks the job as a verification against `image` (copied now).
  void SetVerifyImage(const ProgramImage& image);

  // Starts the worker thread. False when no job is prepared, the worker
  // already runs, or the thread cannot be created (the job is then reset
  // and the observer told so).
  bool Start(TransferObserver& observer);

  // "Przerwij": only while the worker runs.
  bool RequestAbort();

  // Empties the queue of the running job and queues `code` instead; the
  // worker sends it next. False when no worker runs or it has already taken
  // its last request (the request would be lost with the job).
  bool ReplaceQueue(RequestCode code,
                    std::span<const std::uint8_t> payload = {});

  // One-shot marks consumed by the next radio frame written.
  RadioResetMarks& reset_marks() { return shared_.reset_marks; }

  bool prepared() const { return shared_.prepared.load(); }
  bool running() const { return shared_.running.load(); }
  // Requests are queued (the queue guard of the main window).
  bool has_queued_requests() const;

  // Waits until the worker thread, if any, has ended.
  void Join();

 private:
  // The reply length to queue `code` with, or nothing when the request
  // cannot be queued at all (unknown code, payload too long).
  std::optional<std::uint8_t> ReplyLengthFor(
      RequestCode code, std::span<const std::uint8_t> payload) const;

  std::thread thread_;
  JobSharedState shared_;
};

}  // namespace lumera
