// The controller's record of the last error it met, as read by the "!" job.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumera {

inline constexpr std::string_view kErrorReportCaption =
    "Opis błędu sterownika:";

struct ErrorReport {
  std::uint8_t task = 0;
  std::uint8_t segment = 0;
  std::uint8_t command = 0;
  std::uint8_t error_number = 0;
  // A report waits to be shown; tested and cleared by the user-interface
  // thread, set once the fields are stored.
  std::atomic<bool> pending{false};

  ErrorReport() = default;
  ErrorReport(const ErrorReport& other);
  ErrorReport& operator=(const ErrorReport& other);

  // Stores the fields of a ReadErrorReport reply and marks the report.
  void Store(std::uint8_t task_index, std::uint8_t segment_index,
             std::uint8_t command_number, std::uint8_t error);
};

// Description of an error number; only its low four bits count.
std::string_view ErrorDescription(int error_number);

// The message box text for a report.
std::string ErrorReportText(const ErrorReport& report);

// Clears the mark first, so the report is shown once even when showing it
// runs a nested event loop; returns the text when a report was pending.
// The error number is kept reduced to its low four bits.
bool TakePendingErrorReport(ErrorReport& report, std::string& text);

}  // namespace lumera
