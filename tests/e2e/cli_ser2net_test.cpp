// lumera-cli through a real network serial server: ser2net serving
// lumera-sim's pseudo-terminal on the loopback address, as a raw TCP stream
// and as telnet with the COM port control option.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "core/model/program_file.h"
#include "core/session/workspace.h"
#include "e2e/cli_process.h"

namespace lumera {
namespace {

namespace fs = std::filesystem;
using e2e::CliResult;
using e2e::RunCliProcess;
using e2e::Sim;
using e2e::TempFolder;

constexpr const char* kSuccess = "Operacja zakończona pomyślnie.\n";

// A loopback TCP port nobody listens on right now.
int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    close(fd);
    return 0;
  }
  close(fd);
  return ntohs(address.sin_port);
}

bool Accepts(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool ok =
      connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

// Whether a connection to `port` on this host is established (the command
// line has reached the server).
bool Connected(int port) {
  std::ifstream table("/proc/net/tcp");
  char wanted[16];
  std::snprintf(wanted, sizeof wanted, ":%04X", port);
  for (std::string line; std::getline(table, line);) {
    std::istringstream fields(line);
    std::string slot, local, remote, state;
    fields >> slot >> local >> remote >> state;
    if (state == "01" && local.ends_with(wanted)) return true;
  }
  return false;
}

// ser2net in the foreground with its own configuration, one connection
// serving `device` at 38400 8N1 on 127.0.0.1.
class Ser2net {
 public:
  Ser2net(const TempFolder& folder, const std::string& device, bool telnet)
      : port_(FreeLoopbackPort()) {
    const fs::path config = folder.path() / "ser2net.yaml";
    std::ofstream(config)
        << "connection: &line\n"
        << "  accepter: " << (telnet ? "telnet(rfc2217)," : "")
        << "tcp,127.0.0.1," << port_ << "\n"
        << "  connector: serialdev," << device << ",38400n81,local\n"
        << "  options:\n"
        << "    kickolduser: true\n"
        // Replies go out as they come, not gathered for a few character
        // times: the way a serial server for request-reply lines is set.
        << "    chardelay: false\n";
    pid_ = fork();
    if (pid_ == 0) {
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
      execl(LUMERA_SER2NET_PATH, "ser2net", "-n", "-d", "-c", config.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 100 && !Accepts(port_); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~Ser2net() { Stop(); }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  int port() const { return port_; }

 private:
  int port_;
  pid_t pid_ = -1;
};

void FillProgram(ProgramStore& store) {
  for (int segment = 0; segment < kSegmentCount - 1; ++segment) {
    for (int k = 0; k < kCommandsPerSegment; ++k) {
      const int n = segment * 255 + k;
      // Every byte value, 0xFF (telnet's command byte) among them.
      store.SetCommand(segment, k,
                       Command{static_cast<std::uint8_t>(n % 45),
                               static_cast<std::uint8_t>(n * 7 % 256),
                               static_cast<std::uint8_t>(255 - n % 256)});
    }
  }
}

struct Mode {
  const char* name;
  bool telnet;
  bool through_ports_folder;  // COM<n> file instead of --port ADDRESS
};

class CliThroughSer2net : public testing::TestWithParam<Mode> {};

TEST_P(CliThroughSer2net, UploadDownloadAndVerifyAFullProgram) {
  const Mode mode = GetParam();
  TempFolder folder;
  Sim sim(folder, {});
  ASSERT_FALSE(sim.device().empty());
  Ser2net server(folder, sim.device(), mode.telnet);
  ASSERT_TRUE(Accepts(server.port()));
  const std::string address = std::string(mode.telnet ? "rfc2217" : "tcp") +
                              ":127.0.0.1:" + std::to_string(server.port());
  std::string port = address;
  if (mode.through_ports_folder) {
    fs::create_directories(folder.xdg() / "lumera" / "ports");
    std::ofstream(folder.xdg() / "lumera" / "ports" / "COM7")
        << address << "\n";
    port = "7";
    const CliResult ports = RunCliProcess(folder, {"ports"});
    EXPECT_NE(ports.out.find("COM7 " + address + "\n"), std::string::npos)
        << ports.out;
  }

  auto ws = std::make_unique<Workspace>();
  FillProgram(ws->store);
  ASSERT_TRUE(SaveProgramFile(ws->store, folder.path() / "full.prg"));
  const CliResult upload =
      RunCliProcess(folder, {"--port", port, "upload", "full.prg"});
  ASSERT_EQ(upload.exit_code, 0) << upload.err;
  EXPECT_EQ(upload.out, kSuccess);

  const CliResult download =
      RunCliProcess(folder, {"--port", port, "download", "back.prg"});
  ASSERT_EQ(download.exit_code, 0) << download.err;
  auto back = std::make_unique<Workspace>();
  ASSERT_TRUE(LoadProgramFile(back->store, folder.path() / "back.prg"));
  for (int segment = 0; segment < kSegmentCount - 1; ++segment) {
    for (int k = 0; k < kCommandsPerSegment; ++k) {
      ASSERT_EQ(back->store.CommandAt(segment, k),
                ws->store.CommandAt(segment, k))
          << segment << "/" << k;
    }
  }
  const CliResult verify =
      RunCliProcess(folder, {"--port", port, "verify", "full.prg"});
  EXPECT_EQ(verify.exit_code, 0) << verify.err;
  EXPECT_EQ(verify.out, kSuccess);
}

INSTANTIATE_TEST_SUITE_P(Modes, CliThroughSer2net,
                         testing::Values(Mode{"RawTcp", false, false},
                                         Mode{"Rfc2217", true, false},
                                         Mode{"RawTcpAsComFile", false, true}),
                         [](const testing::TestParamInfo<Mode>& info) {
                           return info.param.name;
                         });

TEST(CliNetworkPortFaults, RefusedPortFailsToOpenWithTheReason) {
  TempFolder folder;
  const int port = FreeLoopbackPort();
  for (const char* scheme : {"tcp", "rfc2217"}) {
    const std::string address =
        std::string(scheme) + ":127.0.0.1:" + std::to_string(port);
    const CliResult result =
        RunCliProcess(folder, {"--port", address, "version"});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err,
              "Błąd otwarcia portu !\n" + address + ": Connection refused\n");
  }
}

TEST(CliNetworkPortFaults, DroppedConnectionEndsTheReadAtOnce) {
  TempFolder folder;
  Sim sim(folder, {});
  ASSERT_FALSE(sim.device().empty());
  Ser2net server(folder, sim.device(), false);
  ASSERT_TRUE(Accepts(server.port()));
  const std::string address = "tcp:127.0.0.1:" + std::to_string(server.port());
  // The controller stays silent for the whole time-out; only the server's
  // going away can end the read early.
  sim.Pause();
  const auto start = std::chrono::steady_clock::now();
  std::thread drop([&] {
    for (int i = 0; i < 200 && !Connected(server.port()); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    server.Stop();
  });
  const CliResult result = RunCliProcess(
      folder, {"--port", address, "--timeout-ms", "30000", "version"});
  drop.join();
  sim.Resume();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
  EXPECT_EQ(result.exit_code, 1);
  const std::string first = "Błąd odczytu pakietu: pakiet za krótki !\n";
  ASSERT_EQ(result.err.substr(0, first.size()), first) << result.err;
  const std::string reason = result.err.substr(first.size());
  EXPECT_TRUE(reason == address + ": connection closed by the server\n" ||
              reason == address + ": Connection reset by peer\n")
      << reason;
}

}  // namespace
}  // namespace lumera
