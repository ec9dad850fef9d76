#include "core/site/file/site_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <string_view>

namespace lumera {
namespace {

namespace fs = std::filesystem;

std::string Repeated(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

class SiteFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() /
        ("lumera-site-" +
         std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_ / "programs");
    for (const char* name : {"programs/a.prg", "programs/a-7.prg", "b.prg"}) {
      std::ofstream(dir_ / name) << "x";
    }
    // A ports folder: COM77 names a device (a link to it), COM78 a network
    // serial server.
    roots_.ports_folder = dir_ / "ports";
    roots_.dev_folder = dir_ / "dev";
    fs::create_directories(roots_.ports_folder);
    fs::create_directories(roots_.dev_folder);
    std::ofstream(dir_ / "ttyX") << "";
    fs::create_symlink(dir_ / "ttyX", roots_.ports_folder / "COM77");
    fs::create_symlink(dir_ / "ttyX", dir_ / "link");
    std::ofstream(roots_.ports_folder / "COM78") << "tcp:Serwer.example:4001\n";
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
  PortRoots roots_;
};

TEST_F(SiteFileTest, ReadsLinesRangesOwnProgramsAndTargets) {
  // Saved by Notepad: the byte-order mark first.
  const SiteParseResult result = ParseSite(
      "\xEF\xBB\xBF# Hall A and B\n"
      "[line hala-a]\n"
      "port = tcp:192.0.2.10:4001\n"
      "controllers = 1-12, 20\n"
      "program = programs/a.prg\n"
      "program.7 = programs/a-7.prg\n"
      "\n"
      "[line hala-łódź]\r\n"
      "port = /dev/ttyUSB1\n"
      "radio = point\n"
      "controllers = 5, 3\n"
      "target.3 = 15,15,16\n"
      "target.5 = 15,15,32\n"
      "program = b.prg\n",
      dir_, true, roots_);
  ASSERT_TRUE(result.site) << result.faults.front().message;
  const auto& lines = result.site->lines;
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].port, "tcp:192.0.2.10:4001");
  ASSERT_EQ(lines[0].controllers.size(), 13u);
  EXPECT_EQ(lines[0].controllers[12].number, 20);
  EXPECT_EQ(lines[0].controllers[6].program, dir_ / "programs/a-7.prg");
  EXPECT_EQ(lines[0].controllers[7].program, dir_ / "programs/a.prg");
  EXPECT_FALSE(lines[0].radio_point);
  EXPECT_EQ(lines[1].name, "hala-łódź");
  EXPECT_TRUE(lines[1].radio_point);
  // Listed order is the order on the bus.
  EXPECT_EQ(lines[1].controllers[0].number, 5);
  EXPECT_EQ(lines[1].controllers[0].target, (RadioAddress{15, 15, 32}));
  EXPECT_EQ(lines[1].controllers[1].target, (RadioAddress{15, 15, 16}));
  EXPECT_EQ(lines[1].controllers[1].program, dir_ / "b.prg");
}

struct FaultCase {
  const char* name;
  std::string text;
  bool programs_required;
  std::vector<std::pair<int, std::string>> faults;  // line, message part
};

TEST_F(SiteFileTest, RefusesEveryFaultWithItsLineNumber) {
  const std::vector<FaultCase> cases = {
      {"unknown key",
       "[line a]\nport = COM1\ncontrollers = 1\nbaud = 9600\n",
       false,
       {{4, "nieznany klucz \"baud\""}}},
      {"numbers outside 1..254",
       "[line a]\nport = COM1\ncontrollers = 0, 3, 250-255\n"
       "program.300 = b.prg\n",
       false,
       {{3, "poza 1..254: \"0\""},
        {3, "poza 1..254: \"250-255\""},
        {4, "poza 1..254: \"program.300\""}}},
      {"controller twice on a line",
       "[line a]\nport = COM1\ncontrollers = 1-3, 2\n",
       false,
       {{3, "sterownik 2 podany dwa razy"}}},
      {"line named twice",
       "[line a]\nport = COM1\ncontrollers = 1\n"
       "[line a]\nport = COM2\ncontrollers = 1\n",
       false,
       {{4, "linia \"a\" podana dwa razy"}}},
      {"two lines on one port",
       "[line a]\nport = COM1\ncontrollers = 1\n"
       "[line b]\nport = COM1\ncontrollers = 1\n",
       false,
       {{5, "port \"COM1\" już użyty przez linię w wierszu 2"}}},
      {"one port by number and by name",
       "[line a]\nport = 3\ncontrollers = 1\n"
       "[line b]\nport = COM3\ncontrollers = 1\n",
       false,
       {{5, "port \"COM3\" już użyty"}}},
      {"COM<n> and the device it names",
       "[line a]\nport = COM77\ncontrollers = 1\n"
       "[line b]\nport = @/ttyX\ncontrollers = 1\n",
       false,
       {{5, "port \"@/ttyX\" już użyty"}}},
      {"a number and the link of the ports folder",
       "[line a]\nport = @/ports/COM77\ncontrollers = 1\n"
       "[line b]\nport = 77\ncontrollers = 1\n",
       false,
       {{5, "port \"77\" już użyty"}}},
      {"a link and its device",
       "[line a]\nport = @/link\ncontrollers = 1\n"
       "[line b]\nport = @/ttyX\ncontrollers = 1\n",
       false,
       {{5, "już użyty"}}},
      {"COM<n> of a server, and the server by its other protocol",
       "[line a]\nport = COM78\ncontrollers = 1\n"
       "[line b]\nport = rfc2217:serwer.EXAMPLE:4001\ncontrollers = 1\n",
       false,
       {{5, "już użyty"}}},
      {"missing program file",
       "[line a]\nport = COM1\ncontrollers = 1, 2\nprogram = b.prg\n"
       "program.2 = gone.prg\n",
       false,
       {{5, "brak pliku programu \"gone.prg\""}}},
      {"no program where one is needed",
       "[line a]\nport = COM1\ncontrollers = 4\n",
       true,
       {{1, "brak programu dla sterownika 4"}}},
      {"radio point without a target",
       "[line a]\nport = COM1\nradio = point\ncontrollers = 3, 5\n"
       "target.3 = 1,2,3\n",
       false,
       {{1, "brak target.5"}}},
      {"radio to all",
       "[line a]\nport = COM1\nradio = all\ncontrollers = 1\n",
       false,
       {{3, "radio = all nie jest dozwolone"}}},
      {"bad target and a target of no listed controller",
       "[line a]\nport = COM1\ncontrollers = 1\ntarget.1 = 16,0,0\n"
       "target.9 = 1,1,1\n",
       false,
       {{4, "niepoprawny adres radiowy"},
        {5, "sterownik 9 nie jest na liście"}}},
      {"key before any line, a line name that is a path",
       "port = COM2\n[line ../x]\nport = COM1\ncontrollers = 1\n",
       false,
       {{1, "przed pierwszą sekcją"}, {2, "niepoprawna nazwa linii"}}},
      {"line without port or controllers, text without '='",
       "[line a]\nprogram b.prg\n",
       false,
       {{1, "bez klucza port"},
        {1, "bez klucza controllers"},
        {2, "oczekiwano KLUCZ = WARTOŚĆ"}}},
      {"same key twice",
       "[line a]\nport = COM1\nport = COM2\ncontrollers = 1\n",
       false,
       {{3, "klucz \"port\" podany dwa razy"}}},
      {"no line at all", "# nothing\n", false, {{0, "brak linii"}}},
      {"one port typed in two cases",
       "[line a]\nport = com3\ncontrollers = 1\n"
       "[line b]\nport = COM3\ncontrollers = 1\n",
       false,
       {{5, "port \"COM3\" już użyty"}}},
      {"a number listed 200000 times",
       "[line a]\nport = COM1\ncontrollers = " + Repeated("5, ", 199999) +
           "5\n",
       false,
       {{3, "sterownik 5 podany dwa razy"},
        {3, "ten sam błąd jeszcze 199998 razy"}}},
      {"bytes that are not text, on many lines",
       Repeated("\x01\xB3\x1B[31m\n", 10) + "[line a]\n",
       false,
       {{1, "oczekiwano KLUCZ = WARTOŚĆ: \"\\x01\\xB3\\x1B[31m\""},
        {2, "oczekiwano"},
        {3, "oczekiwano"},
        {4, "ten sam błąd jeszcze 7 razy, do wiersza 10"},
        {11, "bez klucza port"},
        {11, "bez klucza controllers"}}},
  };
  // "@" stands for the test's folder.
  const auto here = [&](std::string text) {
    for (std::size_t at; (at = text.find('@')) != std::string::npos;) {
      text.replace(at, 1, dir_.string());
    }
    return text;
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.name);
    const SiteParseResult result =
        ParseSite(here(c.text), dir_, c.programs_required, roots_);
    EXPECT_FALSE(result.site);
    ASSERT_EQ(result.faults.size(), c.faults.size());
    for (std::size_t i = 0; i < c.faults.size(); ++i) {
      EXPECT_EQ(result.faults[i].line_number, c.faults[i].first);
      EXPECT_NE(result.faults[i].message.find(here(c.faults[i].second)),
                std::string::npos)
          << result.faults[i].message;
    }
  }
}

TEST_F(SiteFileTest, FaultTextNamesFileAndLine) {
  EXPECT_EQ(SiteFaultText("obiekt.txt", {7, "nieznany klucz \"x\""}),
            "obiekt.txt:7: nieznany klucz \"x\"");
  EXPECT_EQ(SiteFaultText("obiekt.txt", {0, "brak linii"}),
            "obiekt.txt: brak linii");
}

}  // namespace
}  // namespace lumera
