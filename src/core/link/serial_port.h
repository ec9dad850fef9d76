// The serial port a job talks through. The transfer worker drives it in job
// order: Open, SetBuffers, SetLine, SetTimeouts, Purge, then Purge + Write and
// ReadByte per request, and Purge + Close at the end. Each failing operation
// records the text the status line shows and the system's own reason, so a
// window or the command line can also say why (permission, missing device,
// port held by another program).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace lumera {

// Status-line texts of the opening sequence and of a failed write.
inline constexpr std::string_view kOpenPortFailedText = "Błąd otwarcia portu !";
inline constexpr std::string_view kSetBuffersFailedText = "Błąd bufora !";
inline constexpr std::string_view kSetLineFailedText =
    "Błąd parametrów transmisji !";
inline constexpr std::string_view kSetTimeoutsFailedText =
    "Błąd ustawiania czasów !";
inline constexpr std::string_view kWriteFailedText = "Błąd pisania do portu !";
// Shown while a job opens the port; formatted with the port number.
inline constexpr const char* kOpeningPortFormat =
    "Otwarcie portu szeregowego COM%d";

inline constexpr int kDriverBufferSize = 1024;
inline constexpr int kLineBaudRate = 38400;
inline constexpr std::uint32_t kTimeoutAllOnes = 0xFFFFFFFFu;
inline constexpr std::uint32_t kDefaultTimeoutMs = 3000;

enum class Parity { kNone, kOdd, kEven, kMark, kSpace };
enum class StopBits { kOne, kOneAndHalf, kTwo };
// kEnabled raises DTR; kHandshake (DTR flow control) exists only on Windows.
enum class DtrMode { kDisabled, kEnabled, kHandshake };

// Line settings; the defaults are the line every job uses: 38400 baud, 8 data
// bits, no parity and no parity check, one stop bit, DTR off. RTS is always on
// and flow control always off.
struct LineSettings {
  int baud_rate = kLineBaudRate;
  int data_bits = 8;
  bool parity_check = false;
  Parity parity = Parity::kNone;
  StopBits stop_bits = StopBits::kOne;
  DtrMode dtr = DtrMode::kDisabled;
};

// Port time-outs, Windows-style. The defaults are the ones of every job: a
// one-byte read returns at once when a byte waits, otherwise it waits for
// the next byte up to `read_constant_ms`; a write may take up to
// `write_constant_ms`. Tests shorten the two constants. The POSIX backend
// honours only that read mode (the interval and multiplier fields matter to
// the Windows driver alone).
struct SerialTiming {
  std::uint32_t read_interval = kTimeoutAllOnes;
  std::uint32_t read_multiplier = kTimeoutAllOnes;
  std::uint32_t read_constant_ms = kDefaultTimeoutMs;
  std::uint32_t write_multiplier = 0;
  std::uint32_t write_constant_ms = kDefaultTimeoutMs;
};

// Why the last operation failed. `message` is the status-line text (empty for
// a failed read, which the frame readers report themselves); `system_error`
// is the errno (or Windows error code) behind it, 0 when there is none;
// `reason` is a short English explanation with the device path, for people
// who have to fix the setup (e.g. "/dev/ttyUSB0: Permission denied").
struct PortFailure {
  std::string_view message;
  int system_error = 0;
  std::string reason;
};

enum class ReadStatus {
  kByte,     // `byte` holds the byte read
  kTimeout,  // no byte came within the read time-out
  kFailed,   // the line failed or went away (unplugged, peer closed)
};

struct ReadResult {
  ReadStatus status = ReadStatus::kTimeout;
  std::uint8_t byte = 0;
};

// Asked by a port before it waits on the line and then every
// kAbortCheckInterval while it waits (for a byte, for a write to leave, for
// a connection). Once it answers true nothing waits any more: a read
// returns no byte, a write or an open fails. So "Przerwij" and Ctrl-C end a
// job promptly whatever the line does.
using AbortCheck = std::function<bool()>;
inline constexpr std::chrono::milliseconds kAbortCheckInterval{50};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens `name`: "COM<n>" (see port_names.h on POSIX) or a device path.
  // Exclusive: a port another program holds fails. Opening an open port
  // closes it first.
  virtual bool Open(std::string_view name) = 0;
  // Driver buffer sizes in bytes (1024 and 1024 for every job).
  virtual bool SetBuffers(int input_bytes, int output_bytes) = 0;
  // Raw binary line, no flow control, RTS on, DTR per `settings.dtr`.
  virtual bool SetLine(const LineSettings& settings) = 0;
  virtual bool SetTimeouts(const SerialTiming& timing) = 0;
  // Discards whatever waits in both directions. A no-op when closed.
  virtual void Purge() = 0;
  // Writes all of `bytes` and returns only when they have left the computer
  // (or the write time-out ran out). Returns the number of bytes written, or
  // -1 when the write fails.
  virtual int Write(std::span<const std::uint8_t> bytes) = 0;
  // One byte: at once when one waits, else the next one within the read
  // time-out. A line that has gone away fails at once.
  virtual ReadResult ReadByte() = 0;
  // Closes the port; a no-op when closed.
  virtual void Close() = 0;
  // The check every later wait asks (none: waits run their whole time-out).
  // A port that never waits may ignore it.
  virtual void SetAbortCheck(AbortCheck check) { (void)check; }

  virtual bool IsOpen() const = 0;
  // The failure of the last operation that failed.
  virtual const PortFailure& LastFailure() const = 0;
};

// "COM<n>".
std::string ComPortName(int number);

// The system's reason for a port failure as a technician reads it, with the
// fix when the user may not use the device; empty when there is no reason.
std::string DescribePortFailure(const PortFailure& failure);

// The serial port of this platform (termios on POSIX, the comm API on
// Windows), with the default port namespace.
std::unique_ptr<SerialPort> CreateSystemSerialPort();

}  // namespace lumera
