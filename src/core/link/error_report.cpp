#include "core/link/error_report.h"

#include <array>
#include <cstdio>

namespace lumera {
namespace {

constexpr std::array<std::string_view, 16> kDescriptions = {
    "Nie ma błędu.",
    "Błą konfiguracji generalnej.",
    "Brak ma kanalów w konfiguracji.",
    "Zły punkt startowy tasku głównego.",
    "Błąd pamięci zewnętrznej EEPROM przy inicjowaniu konfiguracji.",
    "Błąd pamięci wewnętrznej EEPROM przy inicjowaniu konfiguracji.",
    "Za duży licznik komend.",
    "Zły parametr komendy.",
    "Zła komenda.",
    "Przepełnienie stosu dla tasku.",
    "Błąd stosu dla tasku.",
    "",
    "",
    "",
    "",
    "",
};

}  // namespace

ErrorReport::ErrorReport(const ErrorReport& other)
    : task(other.task),
      segment(other.segment),
      command(other.command),
      error_number(other.error_number),
      pending(other.pending.load()) {}

ErrorReport& ErrorReport::operator=(const ErrorReport& other) {
  task = other.task;
  segment = other.segment;
  command = other.command;
  error_number = other.error_number;
  pending.store(other.pending.load());
  return *this;
}

void ErrorReport::Store(std::uint8_t task_index, std::uint8_t segment_index,
                        std::uint8_t command_number, std::uint8_t error) {
  task = task_index;
  segment = segment_index;
  command = command_number;
  error_number = error;
  pending.store(true, std::memory_order_release);
}

std::string_view ErrorDescription(int error_number) {
  return kDescriptions[static_cast<std::size_t>(error_number & 0x0F)];
}

std::string ErrorReportText(const ErrorReport& report) {
  const int number = report.error_number & 0x0F;
  const std::string_view description = ErrorDescription(number);
  if (number == 0) return std::string(description);
  // The command is shown as the controller reports it; task and segment are
  // 0-based on the wire.
  char head[64];
  std::snprintf(head, sizeof head,
                "Task:%i Segment:%i Komenda:%i:   ", report.task + 1,
                report.segment + 1, report.command);
  return std::string(head) + std::string(description);
}

bool TakePendingErrorReport(ErrorReport& report, std::string& text) {
  if (!report.pending.exchange(false, std::memory_order_acq_rel)) return false;
  report.error_number &= 0x0F;
  text = ErrorReportText(report);
  return true;
}

}  // namespace lumera
