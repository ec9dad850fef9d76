// lumera-sim as a program: started on its own pseudo-terminal and talked to
// through the system's own serial port and frame readers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/link/frames.h"
#include "core/link/posix_serial_port.h"
#include "core/model/program_types.h"
#include "sim/temp_dir.h"

extern char** environ;

namespace lumera {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class SimProcess {
 public:
  SimProcess(const std::vector<std::string>& args, const fs::path& home)
      : stderr_path_(home / "sim-stderr.txt") {
    int out[2];
    if (::pipe(out) != 0) return;
    std::vector<std::string> env_text{"XDG_CONFIG_HOME=" + home.string()};
    for (char** entry = environ; *entry != nullptr; ++entry) {
      if (std::strncmp(*entry, "XDG_CONFIG_HOME=", 16) != 0) {
        env_text.emplace_back(*entry);
      }
    }
    std::vector<std::string> argv_text{LUMERA_SIM_PATH};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv, env;
    for (auto& text : argv_text) argv.push_back(text.data());
    for (auto& text : env_text) env.push_back(text.data());
    argv.push_back(nullptr);
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO,
                                     stderr_path_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(),
                    env.data()) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    stdout_fd_ = out[0];
  }

  ~SimProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (stdout_fd_ >= 0) ::close(stdout_fd_);
  }

  bool Started() const { return pid_ > 0; }

  // One line of stdout, without its newline.
  std::optional<std::string> ReadLine(int timeout_ms = 5000) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd in{stdout_fd_, POLLIN, 0};
      if (::poll(&in, 1, 50) <= 0) continue;
      char c = 0;
      if (::read(stdout_fd_, &c, 1) != 1) return std::nullopt;
      if (c == '\n') return line;
      line += c;
    }
    return std::nullopt;
  }

  // Exit code (128 + signal when killed), or nothing if still running.
  std::optional<int> Wait(int timeout_ms = 5000) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
  }

  void Signal(int number) const {
    if (pid_ > 0) ::kill(pid_, number);
  }

  std::string Stderr() const {
    std::ifstream in(stderr_path_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  fs::path stderr_path_;
  pid_t pid_ = -1;
  int stdout_fd_ = -1;
};

// "<device> COM<n>" from the ready line.
struct Ready {
  std::string device;
  int com = 0;
};

std::optional<Ready> ParseReady(const std::string& line) {
  const std::size_t space = line.find(" COM");
  if (space == std::string::npos) return std::nullopt;
  return Ready{line.substr(0, space), std::stoi(line.substr(space + 4))};
}

fs::path PortsFolder(const TempDir& home) {
  return home.Path() / "lumera" / "ports";
}

// A client as the system opens it: by COM name, through the ports folder.
class Client {
 public:
  Client(const TempDir& home, int com, bool radio = false)
      : port_(PortRoots{PortsFolder(home)}) {
    radio_.enabled = radio;
    radio_.target_address = 0x1234;
    SerialTiming timing;
    timing.read_constant_ms = 1500;
    open_ = port_.Open("COM" + std::to_string(com)) &&
            port_.SetLine(LineSettings{}) && port_.SetTimeouts(timing);
  }

  bool IsOpen() const { return open_; }

  // Sends one request and reads a reply of `expected` bytes.
  std::optional<Bytes> Ask(std::uint8_t destination, std::uint8_t code,
                           const Bytes& payload, int expected) {
    Bytes body{code};
    body.insert(body.end(), payload.begin(), payload.end());
    RequestFrame frame;
    if (!BuildRequestFrame(destination,
                           static_cast<std::uint8_t>(body.size() + 1), body,
                           frame)) {
      return std::nullopt;
    }
    port_.Purge();
    if (WriteFrame(port_, frame.View(), radio_, marks_) != frame.length) {
      return std::nullopt;
    }
    if (expected == 0) return Bytes{};
    ReplyBuffer reply;
    reply.fill(0xFF);
    const std::atomic<bool> abort{true};  // a radio read gives up at once
    const int count = ReadReply(port_, radio_, reply, expected, abort);
    if (CheckReply(reply, count, expected) != ReplyCheck::kAccepted) {
      return std::nullopt;
    }
    return Bytes(reply.begin() + 5, reply.begin() + expected - 1);
  }

 private:
  PosixSerialPort port_;
  RadioSettings radio_;
  RadioResetMarks marks_;
  bool open_ = false;
};

TEST(SimProgramTest, ServesClientsThroughItsComNameUntilSigterm) {
  TempDir home;
  SimProcess sim({"--number", "1"}, home.Path());
  ASSERT_TRUE(sim.Started());
  const auto line = sim.ReadLine();
  ASSERT_TRUE(line.has_value()) << sim.Stderr();
  const auto ready = ParseReady(*line);
  ASSERT_TRUE(ready.has_value()) << *line;
  EXPECT_EQ(ready->com, 200);
  const fs::path link =
      PortsFolder(home) / ("COM" + std::to_string(ready->com));
  EXPECT_EQ(fs::read_symlink(link), ready->device);

  // Clients come and go; the controller and its memory stay.
  for (std::uint8_t round = 0; round < 3; ++round) {
    Client client(home, ready->com);
    ASSERT_TRUE(client.IsOpen());
    EXPECT_EQ(client.Ask(1, 0x5D, {}, 7), Bytes{0x10});
    if (round > 0) {
      EXPECT_EQ(client.Ask(1, 0x4E, {0, 0}, 9), (Bytes{round, 0, 0}));
    }
    EXPECT_EQ(client.Ask(1, 0x4D,
                         {0, 0, static_cast<std::uint8_t>(round + 1), 0, 0}, 6),
              Bytes{});
    if (round == 0) {
      EXPECT_EQ(client.Ask(2, 0x5D, {}, 7), std::nullopt) << "not addressed";
    }
  }

  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Wait(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(SimProgramTest, StateIsSavedAtExitAndLoadedAtStart) {
  TempDir home;
  const fs::path state = home.Path() / "controller.prg";
  {
    SimProcess sim({"--state", state.string()}, home.Path());
    const auto ready = ParseReady(sim.ReadLine().value_or(""));
    ASSERT_TRUE(ready.has_value()) << sim.Stderr();
    Client client(home, ready->com);
    ASSERT_TRUE(client.IsOpen());
    ASSERT_TRUE(client.Ask(1, 0x4D, {9, 254, 0x21, 0x05, 0x10}, 6));
    ASSERT_TRUE(client.Ask(1, 0x48, {12}, 6));
    sim.Signal(SIGINT);
    ASSERT_EQ(sim.Wait(), 0) << sim.Stderr();
  }
  ASSERT_EQ(fs::file_size(state), kImageSize);
  {
    // The number comes from the saved configuration.
    SimProcess sim({"--state", state.string()}, home.Path());
    const auto ready = ParseReady(sim.ReadLine().value_or(""));
    ASSERT_TRUE(ready.has_value()) << sim.Stderr();
    Client client(home, ready->com);
    EXPECT_EQ(client.Ask(12, 0x4E, {9, 254}, 9), (Bytes{0x21, 0x05, 0x10}));
    EXPECT_EQ(client.Ask(12, 0x47, {}, 7), Bytes{12});
  }
}

TEST(SimProgramTest, SeveralControllersOnARadioLine) {
  TempDir home;
  SimProcess sim({"--number", "3,5", "--radio", "--com", "231"}, home.Path());
  const auto ready = ParseReady(sim.ReadLine().value_or(""));
  ASSERT_TRUE(ready.has_value()) << sim.Stderr();
  EXPECT_EQ(ready->com, 231);
  Client client(home, ready->com, true);
  ASSERT_TRUE(client.IsOpen());
  EXPECT_EQ(client.Ask(5, 0x47, {}, 7), Bytes{5});
  EXPECT_EQ(client.Ask(3, 0x47, {}, 7), Bytes{3});
  EXPECT_EQ(client.Ask(255, 0x47, {}, 7), std::nullopt) << "collision";
}

TEST(SimProgramTest, PacedRepliesTakeTheLineTime) {
  TempDir home;
  SimProcess sim({"--baud", "1200"}, home.Path());
  const auto ready = ParseReady(sim.ReadLine().value_or(""));
  ASSERT_TRUE(ready.has_value()) << sim.Stderr();
  Client client(home, ready->com);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(client.Ask(1, 0x56, {}, 38).has_value());
  // A 6-byte request and a 38-byte reply, 10 bits a byte, on one line at
  // 1200 baud cannot be done sooner than this.
  EXPECT_GE(std::chrono::steady_clock::now() - start,
            std::chrono::milliseconds((6 + 38) * 10 * 1000 / 1200 - 10));
}

// The far end of a line the test owns: the simulator serves the device
// side, the test talks through the other.
class TestLine {
 public:
  TestLine() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    char name[128];
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
      return;
    }
    device_ = name;
    termios raw{};
    const int slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave >= 0 && ::tcgetattr(slave, &raw) == 0) {
      ::cfmakeraw(&raw);
      ::tcsetattr(slave, TCSANOW, &raw);
    }
    if (slave >= 0) ::close(slave);
  }
  ~TestLine() {
    if (master_ >= 0) ::close(master_);
  }
  const std::string& Device() const { return device_; }

  // Writes `request` and collects what comes back within `wait_ms`.
  Bytes Exchange(const Bytes& request, int wait_ms = 1500) {
    if (::write(master_, request.data(), request.size()) < 0) return {};
    Bytes got;
    pollfd in{master_, POLLIN, 0};
    while (::poll(&in, 1, got.empty() ? wait_ms : 100) > 0) {
      std::uint8_t buffer[64];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }

 private:
  int master_ = -1;
  std::string device_;
};

TEST(SimProgramTest, ServesAGivenDeviceAndRegistersItOnlyWhenAsked) {
  struct Case {
    std::vector<std::string> extra;
    bool registered;
  };
  for (const Case& c : {Case{{}, false}, Case{{"--com", "5"}, true}}) {
    TempDir home;
    TestLine line;
    ASSERT_FALSE(line.Device().empty());
    std::vector<std::string> args{"--device", line.Device(), "--number", "4"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    SimProcess sim(args, home.Path());
    const auto ready = sim.ReadLine();
    ASSERT_TRUE(ready.has_value()) << sim.Stderr();
    EXPECT_EQ(*ready, c.registered ? line.Device() + " COM5" : line.Device());
    EXPECT_EQ(fs::is_symlink(PortsFolder(home) / "COM5"), c.registered);
    // ReadVersion to controller 4: 88 FF 04 02 5D EA.
    EXPECT_EQ(line.Exchange({0x88, 0xFF, 0x04, 0x02, 0x5D, 0xEA}),
              (Bytes{0x88, 0xFF, 0x04, 0x03, 0x5D, 0x10, 0xFB}));
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(PortsFolder(home) / "COM5")));
  }
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
};

class SimUsageTest : public testing::TestWithParam<UsageCase> {};

TEST_P(SimUsageTest, BadCommandLineExitsTwoWithUsage) {
  TempDir home;
  SimProcess sim(GetParam().args, home.Path());
  EXPECT_EQ(sim.Wait(), 2);
  EXPECT_NE(sim.Stderr().find("Usage: lumera-sim"), std::string::npos);
  EXPECT_FALSE(fs::exists(PortsFolder(home) / "COM200"));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SimUsageTest,
    testing::Values(UsageCase{"UnknownOption", {"--fast"}},
                    UsageCase{"NumberOutOfRange", {"--number", "255"}},
                    UsageCase{"MissingValue", {"--com"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimProgramTest, UnreadableStateFileEndsWithoutRegistering) {
  TempDir home;
  const fs::path state = home.Path() / "short.prg";
  std::ofstream(state) << "short";
  SimProcess sim({"--state", state.string()}, home.Path());
  EXPECT_EQ(sim.Wait(), 1);
  EXPECT_FALSE(fs::exists(PortsFolder(home) / "COM200"));
  EXPECT_EQ(fs::file_size(state), 5u) << "a refused file is not overwritten";
}

}  // namespace
}  // namespace lumera
