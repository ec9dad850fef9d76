// lumera-cli run as a process against lumera-sim on a pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli_process.h"
#include "core/config/controller_config.h"
#include "core/model/command_hex.h"
#include "core/model/program_file.h"
#include "core/print/listing.h"
#include "core/session/workspace.h"
#include "e2e/cli_process.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;
using e2e::CliResult;
using e2e::ExecCliInChild;
using e2e::Lines;
using e2e::ReadAll;
using e2e::RunCliProcess;
using e2e::Sim;
using e2e::TempFolder;
using e2e::WithPort;

// A program that fills segments 1 to 9 with every command of the
// catalogue, parameters all over the byte range, comments with Polish
// letters and headings, a short segment 10 and a changed configuration.
void FillProgram(Workspace& ws) {
  ProgramStore& store = ws.store;
  for (int segment = 0; segment < kSegmentCount - 1; ++segment) {
    const int length = segment == 0 ? kCommandsPerSegment : 20 + 25 * segment;
    for (int k = 0; k < length; ++k) {
      const int n = segment * 255 + k;
      store.SetCommand(segment, k,
                       Command{static_cast<std::uint8_t>(n % 45),
                               static_cast<std::uint8_t>(n * 7 % 256),
                               static_cast<std::uint8_t>(n * 13 % 256)});
    }
  }
  store.SetCommand(9, 0, Command{1, 1, 5});
  store.SetCommand(9, 1, Command{2, 1, 5});
  store.SetComment(0, 0, "Zażółć gęślą jaźń");
  store.SetComment(0, 254, "ostatnia ŁÓDŹ");
  store.SetComment(4, 3, "5Start pompy");
  store.SetComment(8, 10, "9Wejście ąę");
  store.SetComment(9, 1, "dziesiąty");
  const ControllerConfig config(store.mutable_image());
  config.GeneralBlock()[TempoMultiplierByte(3)] = 99;
  config.StartPointBlock()[4] = 7;
  config.StartPointBlock()[5] = 200;
}

bool SaveWorkspace(const Workspace& ws, const fs::path& path) {
  return static_cast<bool>(SaveProgramFile(ws.store, path));
}

std::unique_ptr<Workspace> LoadWorkspace(const fs::path& path) {
  auto ws = std::make_unique<Workspace>();
  if (!LoadProgramFile(ws->store, path)) return nullptr;
  return ws;
}

constexpr const char* kSuccess = "Operacja zakończona pomyślnie.";

TEST(CliEndToEnd, UploadThenDownloadGivesBackTheSameImage) {
  TempFolder folder;
  Sim sim(folder, {"--number", "1"});
  ASSERT_GT(sim.port(), 0);
  auto ws = std::make_unique<Workspace>();
  FillProgram(*ws);
  const fs::path program = folder.path() / "program.prg";
  ASSERT_TRUE(SaveWorkspace(*ws, program));

  CliResult upload =
      RunCliProcess(folder, WithPort(sim, {"upload", "program.prg"}));
  ASSERT_EQ(upload.exit_code, 0) << upload.err;
  EXPECT_EQ(upload.out, std::string(kSuccess) + "\n");

  // Start the download from the same file with segments 1 to 9 scrambled:
  // what the controller holds must come back, segment 10, the configuration
  // and the comments of segment 10 from the file.
  auto scrambled = std::make_unique<Workspace>();
  ASSERT_TRUE(LoadProgramFile(scrambled->store, program));
  for (int segment = 0; segment < 9; ++segment) {
    for (int k = 0; k < kCommandsPerSegment; ++k) {
      scrambled->store.SetCommand(segment, k, Command{0, 0, 0});
    }
  }
  const fs::path copy = folder.path() / "copy.prg";
  ASSERT_TRUE(SaveWorkspace(*scrambled, copy));

  CliResult download =
      RunCliProcess(folder, WithPort(sim, {"download", "copy.prg"}));
  ASSERT_EQ(download.exit_code, 0) << download.err;
  EXPECT_EQ(download.out, std::string(kSuccess) + "\n");
  auto back = LoadWorkspace(copy);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->store.image() == ws->store.image());
  // The download drops the comments of the commands it read.
  EXPECT_EQ(back->store.Comment(0, 0), nullptr);
  EXPECT_EQ(back->store.Comment(4, 3), nullptr);
  ASSERT_NE(back->store.Comment(9, 1), nullptr);
  EXPECT_EQ(*back->store.Comment(9, 1), "dziesiąty");

  // Into a file that does not exist: a fresh image with segments 1 to 9.
  CliResult fresh =
      RunCliProcess(folder, WithPort(sim, {"download", "new.prg"}));
  ASSERT_EQ(fresh.exit_code, 0) << fresh.err;
  auto fresh_back = LoadWorkspace(folder.path() / "new.prg");
  ASSERT_TRUE(fresh_back);
  for (int segment = 0; segment < 9; ++segment) {
    for (int k = 0; k < kCommandsPerSegment; ++k) {
      ASSERT_EQ(fresh_back->store.CommandAt(segment, k),
                ws->store.CommandAt(segment, k));
    }
  }
  EXPECT_EQ(fresh_back->store.CommandAt(9, 0), kEmptyCommand);
}

TEST(CliEndToEnd, SegmentUploadAndDownloadTouchOnlyThatSegment) {
  TempFolder folder;
  Sim sim(folder, {});
  ASSERT_GT(sim.port(), 0);
  auto ws = std::make_unique<Workspace>();
  FillProgram(*ws);
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "p.prg"));
  CliResult upload = RunCliProcess(
      folder, WithPort(sim, {"upload", "p.prg", "--segment", "10"}));
  ASSERT_EQ(upload.exit_code, 0) << upload.err;
  CliResult download = RunCliProcess(
      folder, WithPort(sim, {"--segment", "10", "download", "q.prg"}));
  ASSERT_EQ(download.exit_code, 0) << download.err;
  auto back = LoadWorkspace(folder.path() / "q.prg");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->store.CommandAt(9, 0), (Command{1, 1, 5}));
  EXPECT_EQ(back->store.CommandAt(9, 1), (Command{2, 1, 5}));
  EXPECT_EQ(back->store.CommandAt(9, 2), kEmptyCommand);
  EXPECT_EQ(back->store.CommandAt(0, 0), kEmptyCommand);
}

TEST(CliEndToEnd, VerifyReportsThePlantedDifference) {
  TempFolder folder;
  Sim sim(folder, {});
  ASSERT_GT(sim.port(), 0);
  auto ws = std::make_unique<Workspace>();
  FillProgram(*ws);
  ws->store.SetCommand(2, 16, Command{1, 2, 3});
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "p.prg"));
  ASSERT_EQ(RunCliProcess(folder, WithPort(sim, {"upload", "p.prg"})).exit_code,
            0);

  CliResult same = RunCliProcess(folder, WithPort(sim, {"verify", "p.prg"}));
  EXPECT_EQ(same.exit_code, 0) << same.err;
  EXPECT_EQ(same.out, std::string(kSuccess) + "\n");

  ws->store.SetCommand(2, 16, Command{1, 2, 4});
  ws->store.SetCommand(5, 3, Command{9, 9, 9});  // a later difference
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "d.prg"));
  struct Case {
    std::vector<std::string> args;
  };
  const Case cases[] = {{{"verify", "d.prg"}},
                        {{"verify", "d.prg", "--segment", "3"}}};
  for (const Case& c : cases) {
    CliResult diff = RunCliProcess(folder, WithPort(sim, c.args));
    EXPECT_EQ(diff.exit_code, 1);
    EXPECT_EQ(diff.err, "Błąd weryfikacji: 3/17= [01.02.03] hex\n");
    EXPECT_EQ(diff.out, "");
  }
}

TEST(CliEndToEnd, ConfigurationWriteThenReadRoundTrips) {
  TempFolder folder;
  Sim sim(folder, {});
  ASSERT_GT(sim.port(), 0);
  auto ws = std::make_unique<Workspace>();
  FillProgram(*ws);
  const ControllerConfig config(ws->store.mutable_image());
  config.GeneralBlock()[kMarkerByte] = 0;  // the write sets the marker
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "c.prg"));
  CliResult write =
      RunCliProcess(folder, WithPort(sim, {"config", "write", "c.prg"}));
  ASSERT_EQ(write.exit_code, 0) << write.err;

  CliResult read =
      RunCliProcess(folder, WithPort(sim, {"config", "read", "r.prg"}));
  ASSERT_EQ(read.exit_code, 0) << read.err;
  EXPECT_EQ(read.out, std::string(kSuccess) + "\nWersja: 1.0\n");
  auto back = LoadWorkspace(folder.path() / "r.prg");
  ASSERT_TRUE(back);
  config.GeneralBlock()[kMarkerByte] = kConfigMarker;
  const auto expected = ws->store.ConfigBytes();
  const auto got = back->store.ConfigBytes();
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), got.begin()));
  // The program of a fresh file stays empty: only the configuration moved.
  EXPECT_EQ(back->store.CommandAt(0, 0), kEmptyCommand);
}

TEST(CliEndToEnd, DiffListsFileDifferencesWithExitCodes) {
  TempFolder folder;
  auto ws = std::make_unique<Workspace>();
  FillProgram(*ws);
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "a.prg"));
  const std::string slot =
      "3/17: " + FormatCommandHex(ws->store.CommandAt(2, 16)) + " → 0E,00,00";
  ws->store.SetCommand(2, 16, Command{14, 0, 0});
  ws->store.SetComment(4, 3, "5Start pompy 2");
  ControllerConfig(ws->store.mutable_image()).GeneralBlock()[0] = 9;
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "b.prg"));

  CliResult same = RunCliProcess(folder, {"diff", "a.prg", "a.prg"});
  EXPECT_EQ(same.exit_code, 0) << same.err;
  EXPECT_EQ(same.out, "");
  CliResult differ = RunCliProcess(folder, {"diff", "a.prg", "b.prg"});
  EXPECT_EQ(differ.exit_code, 3) << differ.err;
  const std::vector<std::string> lines = Lines(differ.out);
  ASSERT_EQ(lines.size(), 3u) << differ.out;
  EXPECT_EQ(lines[0].substr(0, slot.size()), slot);
  EXPECT_EQ(lines[1], "5/4 komentarz: \"5Start pompy\" → \"5Start pompy 2\"");
  EXPECT_EQ(lines[2], "konfiguracja/0: 01 → 09 (Numer sterownika)");
  CliResult segment =
      RunCliProcess(folder, {"diff", "a.prg", "b.prg", "--segment", "5"});
  EXPECT_EQ(segment.exit_code, 3);
  EXPECT_EQ(segment.out, lines[1] + "\n");

  EXPECT_EQ(RunCliProcess(folder, {"diff", "a.prg", "none.prg"}).exit_code, 1);
  const std::vector<std::vector<std::string>> usage = {
      {"diff"},
      {"diff", "a.prg", "b.prg", "c.prg"},
      {"--port", "3", "diff", "a.prg", "b.prg"}};
  for (const auto& args : usage) {
    EXPECT_EQ(RunCliProcess(folder, args).exit_code, 2);
  }
}

TEST(CliEndToEnd, CheckListsFindingsWithExitCodes) {
  TempFolder folder;
  auto ws = std::make_unique<Workspace>();
  ws->store.SetCommand(0, 0, Command{27, 1, 2});  // segment 2 has no return
  ws->store.SetCommand(0, 1, Command{22, 9, 0});
  ws->store.SetCommand(1, 0, Command{1, 1, 5});
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "bad.prg"));
  ws->store.SetCommand(1, 0, Command{28, 0, 0});
  ws->store.SetCommand(0, 1, Command{22, 1, 0});
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "good.prg"));

  CliResult bad = RunCliProcess(folder, {"check", "bad.prg"});
  EXPECT_EQ(bad.exit_code, 1) << bad.err;
  EXPECT_EQ(
      bad.out,
      "01:001 Brak \"Powrot z procedury\" w segmencie 2 od komendy 1 "
      "do końca listy.\n"
      "01:002 Odwołanie do komendy 9 za końcem segmentu 1 (komend: 2).\n");
  CliResult good = RunCliProcess(folder, {"check", "good.prg"});
  EXPECT_EQ(good.exit_code, 0) << good.err;
  EXPECT_EQ(good.out, "Program bez uwag.\n");
  CliResult missing = RunCliProcess(folder, {"check", "none.prg"});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err, "");
}

TEST(CliEndToEnd, DiffAgainstTheControllerWritesNoFile) {
  TempFolder folder;
  Sim sim(folder, {});
  ASSERT_GT(sim.port(), 0);
  auto ws = std::make_unique<Workspace>();
  FillProgram(*ws);
  ControllerConfig(ws->store.mutable_image()).GeneralBlock()[kMarkerByte] =
      kConfigMarker;
  const fs::path program = folder.path() / "p.prg";
  ASSERT_TRUE(SaveWorkspace(*ws, program));
  ASSERT_EQ(RunCliProcess(folder, WithPort(sim, {"upload", "p.prg"})).exit_code,
            0);
  ASSERT_EQ(RunCliProcess(folder, WithPort(sim, {"config", "write", "p.prg"}))
                .exit_code,
            0);
  const std::string saved = ReadAll(program);

  CliResult same = RunCliProcess(folder, WithPort(sim, {"diff", "p.prg"}));
  EXPECT_EQ(same.exit_code, 0) << same.err;
  EXPECT_EQ(same.out, "");
  EXPECT_EQ(ReadAll(program), saved);

  // Segment 10 and comments are not read from a controller: no difference.
  const std::string held = FormatCommandHex(ws->store.CommandAt(2, 16));
  ws->store.SetCommand(2, 16, Command{1, 2, 4});
  ws->store.SetCommand(9, 0, Command{14, 0, 0});
  ws->store.SetComment(0, 0, "inny");
  ControllerConfig(ws->store.mutable_image()).GeneralBlock()[4] = 7;
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "d.prg"));
  CliResult differ = RunCliProcess(folder, WithPort(sim, {"diff", "d.prg"}));
  EXPECT_EQ(differ.exit_code, 3) << differ.err;
  const std::vector<std::string> lines = Lines(differ.out);
  ASSERT_EQ(lines.size(), 2u) << differ.out;
  const std::string slot = "3/17: 01,02,04 → " + held + " (";
  EXPECT_EQ(lines[0].substr(0, slot.size()), slot);
  EXPECT_EQ(lines[1].substr(0, 16), "konfiguracja/4: ");
  CliResult one =
      RunCliProcess(folder, WithPort(sim, {"diff", "d.prg", "--segment", "3"}));
  EXPECT_EQ(one.exit_code, 3) << one.err;
  EXPECT_EQ(one.out, lines[0] + "\n");
  // Nothing but the two files and the outputs of the runs.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    files += entry.path().extension() == ".prg" ? 1 : 0;
  }
  EXPECT_EQ(files, 2);
}

TEST(CliEndToEnd, ScanFindsExactlyTheControllersOnTheLine) {
  TempFolder folder;
  Sim sim(folder, {"--number", "2,9,23"});
  ASSERT_GT(sim.port(), 0);
  CliResult scan = RunCliProcess(
      folder, WithPort(sim, {"scan", "--from", "1", "--to", "30"}));
  EXPECT_EQ(scan.exit_code, 0) << scan.err;
  EXPECT_EQ(scan.out,
            "Sterownik nr 2: Wersja: 1.0\n"
            "Sterownik nr 9: Wersja: 1.0\n"
            "Sterownik nr 23: Wersja: 1.0\n");
}

TEST(CliEndToEnd, RadioModeEndToEnd) {
  TempFolder folder;
  Sim sim(folder, {"--radio"});
  ASSERT_GT(sim.port(), 0);
  auto ws = std::make_unique<Workspace>();
  FillProgram(*ws);
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "p.prg"));

  CliResult version = RunCliProcess(
      folder, WithPort(sim, {"--radio", "--target", "1,2,3", "version"}));
  EXPECT_EQ(version.exit_code, 0) << version.err;
  EXPECT_EQ(version.out, std::string(kSuccess) + "\nWersja: 1.0\n");

  CliResult upload = RunCliProcess(
      folder, WithPort(sim, {"--radio", "upload", "p.prg", "--segment", "5"}));
  EXPECT_EQ(upload.exit_code, 0) << upload.err;
  CliResult verify = RunCliProcess(
      folder, WithPort(sim, {"--radio", "verify", "p.prg", "--segment", "5"}));
  EXPECT_EQ(verify.exit_code, 0) << verify.err;

  // "Wszystkie": nothing waits for a reply, so run-from to every
  // controller ends at once with success.
  CliResult all = RunCliProcess(
      folder,
      WithPort(sim, {"--radio", "--all", "--time", "9", "run", "5", "1"}));
  EXPECT_EQ(all.exit_code, 0) << all.err;
  CliResult reset =
      RunCliProcess(folder, WithPort(sim, {"--radio", "radio-reset"}));
  EXPECT_EQ(reset.exit_code, 0) << reset.err;

  // Plain frames do not reach a controller behind the access point.
  CliResult direct =
      RunCliProcess(folder, WithPort(sim, {"--timeout-ms", "300", "version"}));
  EXPECT_EQ(direct.exit_code, 1);
  EXPECT_EQ(direct.err, "Błąd odczytu pakietu: pakiet za krótki !\n");
}

TEST(CliEndToEnd, SilentControllerFailsWithTheShortPacketText) {
  TempFolder folder;
  Sim sim(folder, {"--number", "1"});
  ASSERT_GT(sim.port(), 0);
  const std::vector<std::vector<std::string>> commands = {
      {"version"}, {"registers"}, {"config", "read", "x.prg"}};
  for (const auto& command : commands) {
    std::vector<std::string> args = {"--device", "9", "--timeout-ms", "200"};
    args.insert(args.end(), command.begin(), command.end());
    CliResult result = RunCliProcess(folder, WithPort(sim, args));
    EXPECT_EQ(result.exit_code, 1) << command[0];
    EXPECT_EQ(result.err, "Błąd odczytu pakietu: pakiet za krótki !\n")
        << command[0];
    EXPECT_EQ(result.out, "") << command[0];
  }
  // A failed read does not create the file.
  EXPECT_FALSE(fs::exists(folder.path() / "x.prg"));
}

// Only a program file is sent (or compared) without --any-size, and success
// is said only of a result that reached its file; a port is typed in any
// case.
TEST(CliEndToEnd, NothingSentThatIsNotAProgramNothingSaidThatDidNotHappen) {
  TempFolder folder;
  Sim sim(folder, {"--number", "1"});
  ASSERT_TRUE(sim.port());
  std::ofstream(folder.path() / "zero.prg");
  std::ofstream(folder.path() / "text.prg") << "hello\n";
  const std::string com = "com" + std::to_string(sim.port());
  const struct {
    std::vector<std::string> args;
    int exit_code;
    std::string out;
    std::string err;
  } cases[] = {
      {{"upload", "zero.prg"},
       2,
       "",
       "Plik zero.prg ma 0 bajtów, a plik programu ma 7714 bajtów.\n"
       "Nic nie zostało wysłane (--any-size: wyślij mimo to, jak okno go "
       "wczytuje).\n"},
      {{"verify", "text.prg"}, 2, "", "Plik text.prg ma 6 bajtów"},
      {{"config", "write", "zero.prg"}, 2, "", "Plik zero.prg ma 0 bajtów"},
      {{"download", "nowhere/x.prg"},
       1,
       "",
       "Błąd zapisu pliku !\nnowhere/x.prg: No such file or directory\n"},
      {{"config", "read", "nowhere/x.prg"},
       1,
       "",
       "Błąd zapisu pliku !\nnowhere/x.prg: No such"},
      {{"upload", "zero.prg", "--any-size"},
       0,
       std::string(kSuccess) + "\n",
       ""},
      {{"verify", "zero.prg", "--any-size"},
       0,
       std::string(kSuccess) + "\n",
       ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--port", com};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(args[2] + " " + args[3]);
    const CliResult result = RunCliProcess(folder, args);
    EXPECT_EQ(result.exit_code, c.exit_code) << result.err;
    EXPECT_EQ(result.out, c.out);
    if (c.err.empty()) {
      EXPECT_EQ(result.err, "");
    } else {
      EXPECT_EQ(result.err.find(c.err), 0u) << result.err;
    }
  }
}

TEST(CliEndToEnd, MissingPortFailsWithOpenTextAndTheReason) {
  TempFolder folder;
  CliResult result = RunCliProcess(folder, {"--port", "251", "version"});
  EXPECT_EQ(result.exit_code, 1);
  const auto lines = Lines(result.err);
  ASSERT_EQ(lines.size(), 2u) << result.err;
  EXPECT_EQ(lines[0], "Błąd otwarcia portu !");
  EXPECT_NE(lines[1].find("COM251"), std::string::npos) << lines[1];
}

TEST(CliEndToEnd, SettingsFileGivesDefaultsAndIsNeverWritten) {
  TempFolder folder;
  Sim sim(folder, {"--number", "5"});
  ASSERT_GT(sim.port(), 0);
  // Without a settings file nothing is created.
  RunCliProcess(folder, {"--port", std::to_string(sim.port()), "--device", "5",
                         "version"});
  EXPECT_FALSE(fs::exists(folder.path() / "Lumera.ini"));

  const std::string ini = "[Config]\r\nPort=" + std::to_string(sim.port()) +
                          "\r\nDevice=5\r\nEntries=0\r\n";
  std::ofstream(folder.path() / "Lumera.ini", std::ios::binary) << ini;
  CliResult version = RunCliProcess(folder, {"version"});
  EXPECT_EQ(version.exit_code, 0) << version.err;
  EXPECT_EQ(version.out, std::string(kSuccess) + "\nWersja: 1.0\n");
  // An option wins over the file.
  CliResult other = RunCliProcess(
      folder, {"--device", "6", "--timeout-ms", "200", "version"});
  EXPECT_EQ(other.exit_code, 1);
  EXPECT_EQ(ReadAll(folder.path() / "Lumera.ini"), ini);
}

TEST(CliEndToEnd, ListPrintsTheListingRows) {
  TempFolder folder;
  auto ws = std::make_unique<Workspace>();
  FillProgram(*ws);
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "l.prg"));
  struct Case {
    std::vector<std::string> args;
    int segment;  // 0: the whole program
    bool entries_only;
  };
  const Case cases[] = {{{"list", "l.prg"}, 0, false},
                        {{"list", "l.prg", "--segment", "5"}, 5, false},
                        {{"list", "--entries-only", "l.prg"}, 0, true}};
  for (const Case& c : cases) {
    CliResult result = RunCliProcess(folder, c.args);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    ListingOptions options{c.entries_only, 1, "l.prg"};
    const ProgramStore& store = ws->store;
    CommentLookup comments = [&store](int s, int k) {
      const std::string* text = store.Comment(s, k);
      return text ? std::string_view(*text) : std::string_view{};
    };
    auto pages = c.segment
                     ? ListSegment(store.image(), comments, c.segment, options)
                     : ListProgram(store.image(), comments, options);
    std::string expected;
    for (const auto& page : pages) {
      expected += page.header + "\n";
      for (const auto& row : page.rows) expected += row.text + "\n";
    }
    EXPECT_EQ(result.out, expected);
  }
  CliResult all = RunCliProcess(folder, {"list", "l.prg"});
  const auto lines = Lines(all.out);
  ASSERT_GT(lines.size(), 3u);
  EXPECT_EQ(lines[0], "PROGRAM numer:1    Sterownik:1    PLIK: l.prg");
  EXPECT_EQ(lines[1].substr(0, 5), "001: ");
  EXPECT_NE(lines[1].find("Zażółć gęślą jaźń"), std::string::npos);
  CliResult entries =
      RunCliProcess(folder, {"list", "--entries-only", "l.prg"});
  EXPECT_NE(entries.out.find("\nWejście ąę\n011: "), std::string::npos)
      << entries.out;
}

TEST(CliEndToEnd, UsageErrorsExitWithTwo) {
  TempFolder folder;
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"bogus"},
      {"upload"},
      {"--device", "0", "version"},
      {"run", "1"},
      {"tempo", "9"},
      {"--segment", "3", "version"}};
  for (const auto& args : cases) {
    CliResult result = RunCliProcess(folder, args);
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("lumera-cli"), std::string::npos);
  }
  CliResult help = RunCliProcess(folder, {"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("upload FILE"), std::string::npos);
}

// One controller driven through the run-control and status commands in
// turn; each step's output shows what the controller took from the last.
TEST(CliEndToEnd, RunControlAndStatusCommandsReachTheController) {
  TempFolder folder;
  Sim sim(folder, {"--number", "1"});
  ASSERT_GT(sim.port(), 0);
  auto ws = std::make_unique<Workspace>();
  FillProgram(*ws);
  const ControllerConfig config(ws->store.mutable_image());
  config.StartPointBlock()[4] = 3;  // start point 3: segment 4, command 9
  config.StartPointBlock()[5] = 8;
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "p.prg"));
  // Start points without --index come from the program the settings name.
  auto other = std::make_unique<Workspace>();
  const ControllerConfig other_config(other->store.mutable_image());
  other_config.StartPointBlock()[4] = 5;
  other_config.StartPointBlock()[5] = 20;
  ASSERT_TRUE(SaveWorkspace(*other, folder.path() / "s.prg"));
  std::ofstream(folder.path() / "Lumera.ini")
      << "[Config]\nPort=" << sim.port() << "\nFile=s.prg\n";

  const std::string ok = std::string(kSuccess) + "\n";
  struct Step {
    std::vector<std::string> args;
    int exit_code;
    std::string out;  // a regular expression for the whole output
  };
  const Step steps[] = {
      {{"upload", "p.prg"}, 0, ok},
      {{"config", "write", "p.prg"}, 0, ok},
      {{"run", "2", "5"}, 0, ok},
      {{"position"}, 0, ok + "Segment: 2 Komenda: 5\n"},
      {{"step", "--segment", "2"},
       0,
       ok + "Segment: 2 Komenda: 6\nR1:0 R2:0 R3:0 R4:0 R5:0 R6:0 R7:0 R8:0\n"},
      {{"start", "3", "--index"}, 0, ok},
      {{"position"}, 0, ok + "Segment: 4 Komenda: 9\n"},
      {{"start", "3"}, 0, ok},
      {{"position"}, 0, ok + "Segment: 6 Komenda: 21\n"},
      {{"registers"}, 0, ok + "R1:0 R2:0 R3:0 R4:0 R5:0 R6:0 R7:0 R8:0\n"},
      {{"errors"}, 0, ok + "Opis błędu sterownika:\nNie ma błędu\\.\n"},
      {{"hwinfo"},
       0,
       ok + "Przełącznik: FFh\nWłączone pozycje: brak\nTempo: nr 1\n"
            "Start: nr 1\nPamięć wewnętrzna\nZasilanie: 50Hz\nFlagi: 00h\n"
            "Maska wyjść: F0h\n"},
      {{"clock", "set"}, 0, ok + "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\n"},
      {{"clock", "read"}, 0, ok + "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\n"},
      {{"tempo", "8"}, 0, ok},
      {{"stop-at", "1", "3"}, 0, ok},
      {{"stop"}, 0, ok},
      {{"resume"}, 0, ok},
      {{"restart"}, 0, ok},
      {{"number", "write", "7"}, 0, ok},
      {{"--timeout-ms", "200", "version"}, 1, ""},
      {{"--device", "7", "version"}, 0, ok + "Wersja: 1\\.0\n"},
      {{"--device", "7", "defaults", "--program", "--yes"}, 0, ok},
      {{"version"}, 0, ok + "Wersja: 1\\.0\n"},
      {{"verify", "p.prg"}, 1, ""},
  };
  for (const Step& step : steps) {
    CliResult result = RunCliProcess(folder, step.args);
    EXPECT_EQ(result.exit_code, step.exit_code) << step.args[0] << "\n"
                                                << result.err;
    EXPECT_TRUE(std::regex_match(result.out, std::regex(step.out)))
        << step.args[0] << ": " << result.out;
  }
}

// With stderr on a terminal a job draws its progress there and clears it.
TEST(CliEndToEnd, ProgressBarOnATerminal) {
  TempFolder folder;
  Sim sim(folder, {});
  ASSERT_GT(sim.port(), 0);
  auto ws = std::make_unique<Workspace>();
  FillProgram(*ws);
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "p.prg"));
  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    close(master);
    dup2(slave, STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    ExecCliInChild(folder, WithPort(sim, {"upload", "p.prg"}));
  }
  close(slave);
  std::string terminal;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n <= 0) break;  // EIO once the child has closed the terminal
    terminal.append(buffer, static_cast<std::size_t>(n));
  }
  close(master);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  // 2295 commands between the stop and the restart.
  EXPECT_NE(terminal.find("] 1/2297"), std::string::npos);
  EXPECT_NE(terminal.find("] 2297/2297"), std::string::npos);
  EXPECT_NE(terminal.find("\r\033[K"), std::string::npos);
}

TEST(CliEndToEnd, TracePrintsEveryFrameOnStderr) {
  TempFolder folder;
  Sim sim(folder, {});
  ASSERT_GT(sim.port(), 0);
  const CliResult traced =
      RunCliProcess(folder, WithPort(sim, {"--trace", "version"}));
  ASSERT_EQ(traced.exit_code, 0) << traced.err;
  EXPECT_EQ(traced.out, "Operacja zakończona pomyślnie.\nWersja: 1.0\n");
  const std::regex written(R"( +0\.\d{6} > ReadVersion +88 FF 01 02 5D E7)");
  const std::regex reply(R"( +0\.\d{6} < ReadVersion +88 FF 01 03 5D 10 F8)");
  const std::vector<std::string> lines = Lines(traced.err);
  ASSERT_EQ(lines.size(), 2u) << traced.err;
  EXPECT_TRUE(std::regex_match(lines[0], written)) << lines[0];
  EXPECT_TRUE(std::regex_match(lines[1], reply)) << lines[1];
  // Without --trace nothing is said.
  const CliResult quiet = RunCliProcess(folder, WithPort(sim, {"version"}));
  EXPECT_EQ(quiet.err, "");
}

TEST(CliEndToEnd, PortsListsTheSimulatorsComName) {
  TempFolder folder;
  Sim sim(folder, {});
  ASSERT_GT(sim.port(), 0);
  CliResult ports = RunCliProcess(folder, {"ports"});
  EXPECT_EQ(ports.exit_code, 0);
  const std::string entry = "COM" + std::to_string(sim.port()) + " ";
  bool found = false;
  for (const std::string& line : Lines(ports.out)) {
    found |= line.rfind(entry, 0) == 0 && line.size() > entry.size();
  }
  EXPECT_TRUE(found) << ports.out;
}

// SIGTERM (as Ctrl-C) during a paced upload aborts it like "Przerwij".
TEST(CliEndToEnd, InterruptAbortsTheRunningJob) {
  TempFolder folder;
  Sim sim(folder, {"--baud", "38400"});
  ASSERT_GT(sim.port(), 0);
  auto ws = std::make_unique<Workspace>();
  FillProgram(*ws);
  ASSERT_TRUE(SaveWorkspace(*ws, folder.path() / "p.prg"));
  const fs::path err_file = folder.path() / "abort.err";
  const pid_t pid = fork();
  if (pid == 0) {
    const int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(err, STDERR_FILENO);
    ExecCliInChild(folder, WithPort(sim, {"upload", "p.prg"}));
  }
  // The paced upload takes seconds; the signal comes early in it.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(ReadAll(err_file), "Operacja przerwana !\n");
}

TEST(CliEndToEnd, QuestionsNeedYes) {
  TempFolder folder;
  Sim sim(folder, {"--number", "4"});
  ASSERT_GT(sim.port(), 0);
  CliResult refused =
      RunCliProcess(folder, WithPort(sim, {"--device", "4", "defaults"}));
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(Lines(refused.err).at(0),
            "Polecenie ustawi numer sterownika na 1. Kontynuować ?");
  CliResult number = RunCliProcess(folder, WithPort(sim, {"number", "read"}));
  EXPECT_EQ(number.exit_code, 1);
  CliResult answered =
      RunCliProcess(folder, WithPort(sim, {"number", "read", "--yes"}));
  EXPECT_EQ(answered.exit_code, 0) << answered.err;
  EXPECT_EQ(answered.out, std::string(kSuccess) + "\nNumer sterownika: 4\n");
  CliResult broadcast =
      RunCliProcess(folder, WithPort(sim, {"--device", "255", "stop"}));
  EXPECT_EQ(broadcast.exit_code, 1);
  EXPECT_EQ(broadcast.err,
            "Tego polecenia nie można wysyłać do wszystkich sterowników !\n");
}

}  // namespace
}  // namespace lumera
