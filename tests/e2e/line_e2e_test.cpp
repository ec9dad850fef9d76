// lumera-cli scan and line-check against lumera-sim on a line paced at
// 38400 baud, with the faults and the adapter latency the simulator can
// put on it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_process.h"

namespace lumera {
namespace {

using namespace e2e;  // NOLINT: the processes of every case

TEST(LineEndToEnd, ScanSortsPresentGarbledAndSilentNumbers) {
  TempFolder folder;
  Sim sim(folder, {"--number", "3,17,200", "--baud", "38400", "--fault",
                   "checksum", "--fault-number", "17"});
  ASSERT_GT(sim.port(), 0);
  const CliResult scan = RunCliProcess(folder, WithPort(sim, {"scan"}));
  EXPECT_EQ(scan.exit_code, 0) << scan.err;
  EXPECT_EQ(scan.out,
            "Sterownik nr 3: Wersja: 1.0\n"
            "Sterownik nr 17: odpowiedź nieczytelna - błędna suma kontrolna "
            "(dwa sterowniki z jednym numerem albo błąd okablowania)\n"
            "Sterownik nr 200: Wersja: 1.0\n");
  EXPECT_NE(scan.err.find("odpowiada 2, nieczytelne 1, bez odpowiedzi 251"),
            std::string::npos)
      << scan.err;
}

// 3's reply comes 200 ms late, numbers after 3 have been asked meanwhile:
// it must be found and credited to no other number.
TEST(LineEndToEnd, ScanFindsALateReplyAndCreditsItToItsOwner) {
  TempFolder folder;
  Sim sim(folder, {"--number", "3", "--baud", "38400", "--fault", "delay",
                   "--fault-ms", "200", "--fault-at", "3"});
  ASSERT_GT(sim.port(), 0);
  const CliResult scan =
      RunCliProcess(folder, WithPort(sim, {"scan", "--to", "20"}));
  ASSERT_TRUE(sim.WaitForLine("fault", 1000));
  EXPECT_EQ(scan.exit_code, 0) << scan.err;
  EXPECT_EQ(scan.out, "Sterownik nr 3: Wersja: 1.0\n");
}

// The least of the printed round trips, in milliseconds.
double MinimumMs(const std::string& out) {
  const std::string label = "Czas odpowiedzi: min ";
  const std::size_t at = out.find(label);
  if (at == std::string::npos) return -1;
  return std::stod(out.substr(at + label.size()));
}

TEST(LineEndToEnd, LineCheckShowsTheAdaptersLatency) {
  double minimum[2] = {};
  for (int latency : {0, 16}) {
    TempFolder folder;
    Sim sim(folder, {"--baud", "38400", "--latency", std::to_string(latency)});
    ASSERT_GT(sim.port(), 0);
    const CliResult check =
        RunCliProcess(folder, WithPort(sim, {"line-check", "--count", "20"}));
    ASSERT_EQ(check.exit_code, 0) << check.err;
    EXPECT_NE(check.out.find("20 z 20 zapytań"), std::string::npos);
    EXPECT_NE(check.out.find("pseudoterminal"), std::string::npos);
    minimum[latency == 0 ? 0 : 1] = MinimumMs(check.out);
  }
  // Held replies cannot come sooner than the latency; free ones come
  // within their few milliseconds on the wire at least once in twenty.
  EXPECT_GT(minimum[0], 0.0);
  EXPECT_LT(minimum[0], 16.0);
  EXPECT_GE(minimum[1], 16.0);
}

TEST(LineEndToEnd, LineCheckOfASilentNumberSaysWhyAndFails) {
  TempFolder folder;
  Sim sim(folder, {"--number", "1"});
  ASSERT_GT(sim.port(), 0);
  const CliResult check = RunCliProcess(
      folder, WithPort(sim, {"--device", "2", "--timeout-ms", "100",
                             "line-check", "--count", "3"}));
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_NE(check.err.find("Sterownik nr 2 nie odpowiada: Błąd odczytu "
                           "pakietu: pakiet za krótki ! (brak odpowiedzi)"),
            std::string::npos)
      << check.err;
}

}  // namespace
}  // namespace lumera
