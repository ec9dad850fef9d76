#include "core/link/error_report.h"

#include <gtest/gtest.h>

#include <string>

namespace lumera {
namespace {

struct ReportCase {
  std::uint8_t error_byte;
  const char* text;
};

// Task 2, segment 4, command 17 as the controller reports them (0-based
// task and segment, command as is).
constexpr ReportCase kReports[] = {
    {0, "Nie ma błędu."},
    {1, "Task:3 Segment:5 Komenda:17:   Błą konfiguracji generalnej."},
    {2, "Task:3 Segment:5 Komenda:17:   Brak ma kanalów w konfiguracji."},
    {3, "Task:3 Segment:5 Komenda:17:   Zły punkt startowy tasku głównego."},
    {4,
     "Task:3 Segment:5 Komenda:17:   Błąd pamięci zewnętrznej EEPROM przy "
     "inicjowaniu konfiguracji."},
    {5,
     "Task:3 Segment:5 Komenda:17:   Błąd pamięci wewnętrznej EEPROM przy "
     "inicjowaniu konfiguracji."},
    {6, "Task:3 Segment:5 Komenda:17:   Za duży licznik komend."},
    {7, "Task:3 Segment:5 Komenda:17:   Zły parametr komendy."},
    {8, "Task:3 Segment:5 Komenda:17:   Zła komenda."},
    {9, "Task:3 Segment:5 Komenda:17:   Przepełnienie stosu dla tasku."},
    {10, "Task:3 Segment:5 Komenda:17:   Błąd stosu dla tasku."},
    {11, "Task:3 Segment:5 Komenda:17:   "},
    {12, "Task:3 Segment:5 Komenda:17:   "},
    {13, "Task:3 Segment:5 Komenda:17:   "},
    {14, "Task:3 Segment:5 Komenda:17:   "},
    {15, "Task:3 Segment:5 Komenda:17:   "},
    // Only the low nibble is the error number.
    {0x38, "Task:3 Segment:5 Komenda:17:   Zła komenda."},
    {0xF0, "Nie ma błędu."},
};

class ErrorReportTextTest : public testing::TestWithParam<ReportCase> {};

TEST_P(ErrorReportTextTest, ShowsOnceWithItsText) {
  ErrorReport report;
  report.Store(2, 4, 17, GetParam().error_byte);
  std::string text;
  ASSERT_TRUE(TakePendingErrorReport(report, text));
  EXPECT_EQ(text, GetParam().text);
  EXPECT_EQ(report.error_number, GetParam().error_byte & 0x0F);
  // The mark is gone: the next message handled shows nothing.
  std::string again;
  EXPECT_FALSE(TakePendingErrorReport(report, again));
  EXPECT_TRUE(again.empty());
}

INSTANTIATE_TEST_SUITE_P(AllNumbers, ErrorReportTextTest,
                         testing::ValuesIn(kReports));

TEST(ErrorReport, NothingIsShownWithoutAReport) {
  ErrorReport report;
  std::string text;
  EXPECT_FALSE(TakePendingErrorReport(report, text));
}

}  // namespace
}  // namespace lumera
