#ifdef _WIN32

#include "core/link/win32_serial_port.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>

#include "core/link/port_names.h"

namespace lumera {
namespace {

HANDLE Handle(void* handle) { return static_cast<HANDLE>(handle); }

std::string SystemMessage(DWORD error) {
  char text[256] = {};
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() &&
         (message.back() == '\r' || message.back() == '\n' ||
          message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(error) : message;
}

}  // namespace

Win32SerialPort::~Win32SerialPort() { Close(); }

bool Win32SerialPort::Fail(std::string_view message, unsigned long error) {
  failure_.message = message;
  failure_.system_error = static_cast<int>(error);
  failure_.reason = (device_.empty() ? std::string() : device_ + ": ") +
                    SystemMessage(static_cast<DWORD>(error));
  return false;
}

bool Win32SerialPort::Open(std::string_view name) {
  Close();
  // The device-namespace prefix also reaches COM10 and above.
  const std::optional<int> number = ParseTypedComName(name);
  device_ = number ? "\\\\.\\COM" + std::to_string(*number) : std::string(name);
  const HANDLE handle =
      ::CreateFileA(device_.c_str(), GENERIC_READ | GENERIC_WRITE,
                    0 /* not shared */, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    Fail(kOpenPortFailedText, ::GetLastError());
    device_.clear();
    return false;
  }
  handle_ = handle;
  timing_ = SerialTiming{};
  return true;
}

bool Win32SerialPort::SetBuffers(int input_bytes, int output_bytes) {
  if (handle_ == nullptr)
    return Fail(kSetBuffersFailedText, ERROR_INVALID_HANDLE);
  if (input_bytes <= 0 || output_bytes <= 0 ||
      !::SetupComm(Handle(handle_), static_cast<DWORD>(input_bytes),
                   static_cast<DWORD>(output_bytes))) {
    return Fail(kSetBuffersFailedText, ::GetLastError());
  }
  return true;
}

bool Win32SerialPort::SetLine(const LineSettings& settings) {
  if (handle_ == nullptr) return Fail(kSetLineFailedText, ERROR_INVALID_HANDLE);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!::GetCommState(Handle(handle_), &dcb)) {
    return Fail(kSetLineFailedText, ::GetLastError());
  }
  dcb.BaudRate = static_cast<DWORD>(settings.baud_rate);
  dcb.ByteSize = static_cast<BYTE>(settings.data_bits);
  dcb.fParity = settings.parity_check ? TRUE : FALSE;
  switch (settings.parity) {
    case Parity::kNone:
      dcb.Parity = NOPARITY;
      break;
    case Parity::kOdd:
      dcb.Parity = ODDPARITY;
      break;
    case Parity::kEven:
      dcb.Parity = EVENPARITY;
      break;
    case Parity::kMark:
      dcb.Parity = MARKPARITY;
      break;
    case Parity::kSpace:
      dcb.Parity = SPACEPARITY;
      break;
  }
  switch (settings.stop_bits) {
    case StopBits::kOne:
      dcb.StopBits = ONESTOPBIT;
      break;
    case StopBits::kOneAndHalf:
      dcb.StopBits = ONE5STOPBITS;
      break;
    case StopBits::kTwo:
      dcb.StopBits = TWOSTOPBITS;
      break;
  }
  dcb.fBinary = TRUE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDsrSensitivity = FALSE;
  switch (settings.dtr) {
    case DtrMode::kDisabled:
      dcb.fDtrControl = DTR_CONTROL_DISABLE;
      break;
    case DtrMode::kEnabled:
      dcb.fDtrControl = DTR_CONTROL_ENABLE;
      dcb.fOutxDsrFlow = TRUE;
      break;
    case DtrMode::kHandshake:
      dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
      break;
  }
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fAbortOnError = TRUE;
  dcb.fNull = FALSE;
  if (!::SetCommState(Handle(handle_), &dcb)) {
    return Fail(kSetLineFailedText, ::GetLastError());
  }
  return true;
}

bool Win32SerialPort::SetTimeouts(const SerialTiming& timing) {
  if (handle_ == nullptr) {
    return Fail(kSetTimeoutsFailedText, ERROR_INVALID_HANDLE);
  }
  COMMTIMEOUTS timeouts{};
  if (!::GetCommTimeouts(Handle(handle_), &timeouts)) {
    return Fail(kSetTimeoutsFailedText, ::GetLastError());
  }
  timeouts.ReadIntervalTimeout = timing.read_interval;
  timeouts.ReadTotalTimeoutMultiplier = timing.read_multiplier;
  timeouts.ReadTotalTimeoutConstant =
      abort_check_
          ? std::min<DWORD>(timing.read_constant_ms,
                            static_cast<DWORD>(kAbortCheckInterval.count()))
          : timing.read_constant_ms;
  timeouts.WriteTotalTimeoutMultiplier = timing.write_multiplier;
  timeouts.WriteTotalTimeoutConstant = timing.write_constant_ms;
  if (!::SetCommTimeouts(Handle(handle_), &timeouts)) {
    return Fail(kSetTimeoutsFailedText, ::GetLastError());
  }
  timing_ = timing;
  return true;
}

void Win32SerialPort::SetAbortCheck(AbortCheck check) {
  abort_check_ = std::move(check);
  if (handle_ != nullptr) SetTimeouts(timing_);
}

void Win32SerialPort::Purge() {
  if (handle_ == nullptr) return;
  ::PurgeComm(Handle(handle_),
              PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

int Win32SerialPort::Write(std::span<const std::uint8_t> bytes) {
  if (handle_ == nullptr) {
    Fail(kWriteFailedText, ERROR_INVALID_HANDLE);
    return -1;
  }
  // A synchronous write completes once the driver has handed the bytes to
  // the hardware (or the write time-out ran out), so a purge after it finds
  // nothing of this frame left to discard.
  DWORD written = 0;
  if (!::WriteFile(Handle(handle_), bytes.data(),
                   static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    Fail(kWriteFailedText, ::GetLastError());
    return -1;
  }
  if (written < bytes.size()) Fail(kWriteFailedText, ERROR_TIMEOUT);
  return static_cast<int>(written);
}

ReadResult Win32SerialPort::ReadByte() {
  if (handle_ == nullptr) {
    Fail({}, ERROR_INVALID_HANDLE);
    return {ReadStatus::kFailed, 0};
  }
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(timing_.read_constant_ms);
  for (;;) {
    if (AbortAsked()) return {ReadStatus::kTimeout, 0};
    std::uint8_t byte = 0;
    DWORD read = 0;
    if (!::ReadFile(Handle(handle_), &byte, 1, &read, nullptr)) {
      Fail({}, ::GetLastError());
      return {ReadStatus::kFailed, 0};
    }
    if (read == 1) return {ReadStatus::kByte, byte};
    if (!abort_check_ || std::chrono::steady_clock::now() >= deadline) {
      return {ReadStatus::kTimeout, 0};
    }
  }
}

void Win32SerialPort::Close() {
  if (handle_ == nullptr) return;
  ::CloseHandle(Handle(handle_));
  handle_ = nullptr;
  device_.clear();
}

std::unique_ptr<SerialPort> CreateSystemSerialPort() {
  return std::make_unique<Win32SerialPort>();
}

}  // namespace lumera

#endif  // _WIN32
