#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "cli/job_runner.h"

namespace lumera {
namespace {

struct ReportCase {
  const char* what;
  std::string status;
  int system_error;
  std::string reason;
  std::string expected;
};

class FailureReport : public testing::TestWithParam<ReportCase> {};

TEST_P(FailureReport, GivesStatusThenTheSystemsReason) {
  const ReportCase& c = GetParam();
  CliJobResult outcome;
  outcome.started = true;
  outcome.status = c.status;
  outcome.port_failure.system_error = c.system_error;
  outcome.port_failure.reason = c.reason;
  EXPECT_EQ(CliJobRunner::FailureReport(outcome), c.expected) << c.what;
}

const std::string kDialout =
    " (dodaj użytkownika do grupy dialout: sudo usermod -aG dialout $USER, "
    "potem zaloguj się ponownie)";

INSTANTIATE_TEST_SUITE_P(
    Reasons, FailureReport,
    testing::Values(
        ReportCase{"no port failure", "Błąd sumy kontrolnej !", 0, "",
                   "Błąd sumy kontrolnej !"},
        ReportCase{"missing device", "Błąd otwarcia portu !", ENOENT,
                   "COM9: No such file or directory",
                   "Błąd otwarcia portu !\nCOM9: No such file or directory"},
        ReportCase{"permission", "Błąd otwarcia portu !", EACCES,
                   "/dev/ttyUSB0: Permission denied",
                   "Błąd otwarcia portu !\n/dev/ttyUSB0: Permission denied" +
                       kDialout},
        ReportCase{
            "error without text", "Błąd pisania do portu !", EIO, "",
            "Błąd pisania do portu !\n" + std::string(std::strerror(EIO))}),
    [](const testing::TestParamInfo<ReportCase>& info) {
      return "Case" + std::to_string(info.index);
    });

}  // namespace
}  // namespace lumera
