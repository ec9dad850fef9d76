#ifndef _WIN32

#include "core/link/posix_serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace lumera {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A pseudo-terminal: the port under test opens the slave side, the test
// plays the controller on the master side.
class Pty {
 public:
  Pty() {
    int slave = -1;
    char name[128] = {};
    if (::openpty(&master_, &slave, name, nullptr, nullptr) == 0) {
      slave_path_ = name;
      ::close(slave);
    }
  }
  ~Pty() { CloseMaster(); }
  bool ok() const { return master_ >= 0 && !slave_path_.empty(); }
  const std::string& slave_path() const { return slave_path_; }

  void Send(const Bytes& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()),
              static_cast<ssize_t>(bytes.size()));
  }
  // Reads until `count` bytes came or nothing comes for `quiet_ms`.
  Bytes Receive(std::size_t count, int quiet_ms = 1000) {
    Bytes out;
    while (out.size() < count) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, quiet_ms) <= 0) break;
      std::uint8_t buffer[4096];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      out.insert(out.end(), buffer, buffer + n);
    }
    return out;
  }
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string slave_path_;
};

// An open, configured port on a fresh pty.
class PtyPort : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.ok()) << std::strerror(errno);
    ASSERT_TRUE(port_.Open(pty_.slave_path())) << port_.LastFailure().reason;
    ASSERT_TRUE(port_.SetBuffers(kDriverBufferSize, kDriverBufferSize));
    ASSERT_TRUE(port_.SetLine(LineSettings{})) << port_.LastFailure().reason;
    SerialTiming timing;
    timing.read_constant_ms = 100;
    timing.write_constant_ms = 100;
    ASSERT_TRUE(port_.SetTimeouts(timing));
    port_.Purge();
  }

  Pty pty_;
  PosixSerialPort port_{PortRoots{}};
};

TEST_F(PtyPort, LineIsRaw38400_8N1WithoutFlowControl) {
  const int fd = ::open(pty_.slave_path().c_str(), O_RDONLY | O_NOCTTY);
  ASSERT_GE(fd, 0);
  termios tio{};
  ASSERT_EQ(::tcgetattr(fd, &tio), 0);
  ::close(fd);
  EXPECT_EQ(::cfgetospeed(&tio), B38400);
  EXPECT_EQ(::cfgetispeed(&tio), B38400);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  const struct {
    const char* name;
    tcflag_t flags;
    tcflag_t mask;
  } off[] = {
      {"parity", tio.c_cflag, PARENB},
      {"two stop bits", tio.c_cflag, CSTOPB},
      {"RTS/CTS", tio.c_cflag, CRTSCTS},
      {"XON/XOFF", tio.c_iflag, IXON | IXOFF},
      {"parity check", tio.c_iflag, INPCK},
      {"CR/NL mapping", tio.c_iflag, ICRNL | INLCR | IGNCR},
      {"canonical/echo/signals", tio.c_lflag, ICANON | ECHO | ISIG},
      {"output processing", tio.c_oflag, OPOST},
  };
  for (const auto& f : off) EXPECT_EQ(f.flags & f.mask, 0u) << f.name;
}

TEST_F(PtyPort, WritesAFrameAndReadsTheReplyByteByByte) {
  // Bytes a cooked line would mangle: CR, NL, XON, XOFF, ^C, 0xFF.
  const Bytes request = {0x88, 0xFF, 0x01, 0x0D, 0x0A, 0x11, 0x13, 0x03};
  ASSERT_EQ(port_.Write(request), static_cast<int>(request.size()));
  EXPECT_EQ(pty_.Receive(request.size()), request);

  const Bytes reply = {0x89, 0x0D, 0x0A, 0x11, 0x13, 0x03, 0x7F, 0xFF};
  pty_.Send(reply);
  Bytes got;
  for (std::size_t i = 0; i < reply.size(); ++i) {
    const ReadResult r = port_.ReadByte();
    ASSERT_EQ(r.status, ReadStatus::kByte) << i;
    got.push_back(r.byte);
  }
  EXPECT_EQ(got, reply);
  EXPECT_EQ(port_.ReadByte().status, ReadStatus::kTimeout);
}

TEST_F(PtyPort, ReadTimesOutAfterTheReadTimeOut) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(port_.ReadByte().status, ReadStatus::kTimeout);
  // Not a speed target: a read may not give up before its time-out.
  EXPECT_GE(std::chrono::steady_clock::now() - start,
            std::chrono::milliseconds(100));
}

TEST_F(PtyPort, ReadWaitsForAByteThatComesWithinTheTimeOut) {
  SerialTiming patient;
  patient.read_constant_ms = 10000;
  ASSERT_TRUE(port_.SetTimeouts(patient));
  // The controller answers a little later, as a real one does.
  std::thread controller([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pty_.Send({0x88});
  });
  const ReadResult r = port_.ReadByte();
  controller.join();
  EXPECT_EQ(r.status, ReadStatus::kByte);
  EXPECT_EQ(r.byte, 0x88);
}

TEST_F(PtyPort, ReopeningTheOpenDeviceReleasesItFirst) {
  ASSERT_TRUE(port_.Open(pty_.slave_path())) << port_.LastFailure().reason;
  EXPECT_TRUE(port_.IsOpen());
  const Bytes frame = {0x88, 0xFF, 0x01, 0x02, 0x5D, 0xE7};
  ASSERT_TRUE(port_.SetLine({}));
  ASSERT_EQ(port_.Write(frame), 6);
  EXPECT_EQ(pty_.Receive(frame.size()), frame);
}

TEST_F(PtyPort, PurgeDiscardsWaitingInput) {
  pty_.Send({0x01, 0x02, 0x03});
  // Let the bytes reach the slave's input before purging.
  pollfd p{-1, POLLIN, 0};
  const int fd = ::open(pty_.slave_path().c_str(), O_RDONLY | O_NOCTTY);
  ASSERT_GE(fd, 0);
  p.fd = fd;
  ASSERT_EQ(::poll(&p, 1, 1000), 1);
  ::close(fd);
  port_.Purge();
  EXPECT_EQ(port_.ReadByte().status, ReadStatus::kTimeout);
}

TEST_F(PtyPort, ClosedPeerFailsTheReadAtOnce) {
  SerialTiming patient;
  patient.read_constant_ms = 60000;
  ASSERT_TRUE(port_.SetTimeouts(patient));
  pty_.Send({0x42});
  ASSERT_EQ(port_.ReadByte().status, ReadStatus::kByte);
  pty_.CloseMaster();
  // A time-out here would take a minute and report kTimeout.
  EXPECT_EQ(port_.ReadByte().status, ReadStatus::kFailed);
  EXPECT_EQ(port_.LastFailure().system_error, EIO);
  EXPECT_EQ(port_.ReadByte().status, ReadStatus::kFailed);
}

TEST_F(PtyPort, WriteThenImmediatePurgeAndCloseDeliversEverything) {
  Bytes frame(38);
  for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = 0x80 + i;
  for (int round = 0; round < 20; ++round) {
    ASSERT_EQ(port_.Write(frame), 38);
    port_.Purge();
    ASSERT_EQ(pty_.Receive(frame.size()), frame) << round;
  }
  ASSERT_EQ(port_.Write(frame), 38);
  port_.Purge();
  port_.Close();
  EXPECT_EQ(pty_.Receive(frame.size()), frame);
}

TEST_F(PtyPort, WriteGivesUpAfterTheWriteTimeOut) {
  // Nobody reads the master side: the pseudo-terminal's buffers fill up.
  const Bytes flood(1 << 20, 0x55);
  const int written = port_.Write(flood);
  EXPECT_GE(written, 0);
  EXPECT_LT(written, static_cast<int>(flood.size()));
  EXPECT_EQ(port_.LastFailure().message, kWriteFailedText);
  EXPECT_EQ(port_.LastFailure().system_error, ETIMEDOUT);
}

// A read on a silent line and a write nobody takes would each wait out
// their minute-long time-out; an abort asked meanwhile ends them at once.
TEST_F(PtyPort, AnAbortEndsEveryWait) {
  SerialTiming patient;
  patient.read_constant_ms = 60000;
  patient.write_constant_ms = 60000;
  ASSERT_TRUE(port_.SetTimeouts(patient));
  std::atomic<bool> abort{false};
  port_.SetAbortCheck([&abort] { return abort.load(); });
  const Bytes flood(1 << 20, 0x55);
  const std::vector<std::pair<std::string, std::function<void()>>> waits = {
      {"read",
       [this] { EXPECT_EQ(port_.ReadByte().status, ReadStatus::kTimeout); }},
      {"write",
       [&] { EXPECT_LT(port_.Write(flood), static_cast<int>(flood.size())); }},
  };
  for (const auto& [name, wait] : waits) {
    SCOPED_TRACE(name);
    abort = false;
    std::thread user([&abort] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      abort = true;
    });
    const auto start = std::chrono::steady_clock::now();
    wait();
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::seconds(30));
    user.join();
  }
}

TEST_F(PtyPort, SecondOpenOfTheSameDeviceFails) {
  PosixSerialPort second{PortRoots{}};
  EXPECT_FALSE(second.Open(pty_.slave_path()));
  EXPECT_EQ(second.LastFailure().message, "Błąd otwarcia portu !");
  EXPECT_EQ(second.LastFailure().system_error, EBUSY);
  EXPECT_NE(second.LastFailure().reason.find(pty_.slave_path()),
            std::string::npos);
  EXPECT_FALSE(second.IsOpen());
  // Once released, the device opens again.
  port_.Close();
  EXPECT_TRUE(second.Open(pty_.slave_path())) << second.LastFailure().reason;
}

TEST_F(PtyPort, LineSettingsThePortCannotHaveFail) {
  struct Case {
    const char* name;
    std::function<void(LineSettings&)> change;
  };
  const Case cases[] = {
      {"unknown baud rate", [](LineSettings& s) { s.baud_rate = 12345; }},
      {"9 data bits", [](LineSettings& s) { s.data_bits = 9; }},
      {"1.5 stop bits",
       [](LineSettings& s) { s.stop_bits = StopBits::kOneAndHalf; }},
      {"DTR handshake", [](LineSettings& s) { s.dtr = DtrMode::kHandshake; }},
  };
  for (const Case& c : cases) {
    LineSettings settings;
    c.change(settings);
    EXPECT_FALSE(port_.SetLine(settings)) << c.name;
    EXPECT_EQ(port_.LastFailure().message, "Błąd parametrów transmisji !")
        << c.name;
    EXPECT_EQ(port_.LastFailure().system_error, EINVAL) << c.name;
  }
}

TEST(PosixSerialPort, OperationsOnAClosedPortFailWithTheirTexts) {
  PosixSerialPort port{PortRoots{}};
  const std::uint8_t byte = 0x88;
  struct Case {
    const char* name;
    std::function<bool()> call;
    std::string_view message;
  };
  const Case cases[] = {
      {"buffers", [&] { return port.SetBuffers(1024, 1024); }, "Błąd bufora !"},
      {"line", [&] { return port.SetLine({}); },
       "Błąd parametrów transmisji !"},
      {"time-outs", [&] { return port.SetTimeouts({}); },
       "Błąd ustawiania czasów !"},
      {"write",
       [&] {
         return port.Write({&byte, 1}) >= 0;
       },
       "Błąd pisania do portu !"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(c.call()) << c.name;
    EXPECT_EQ(port.LastFailure().message, c.message) << c.name;
    EXPECT_EQ(port.LastFailure().system_error, EBADF) << c.name;
  }
  EXPECT_EQ(port.ReadByte().status, ReadStatus::kFailed);
  port.Purge();  // harmless
  port.Close();
}

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/lumera-port-XXXXXX";
    path_ = ::mkdtemp(pattern);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

TEST(PosixSerialPort, OpenFailuresCarryTheSystemsReason) {
  TempDir dir;
  const fs::path ports = dir.path() / "ports";
  fs::create_directories(ports);
  std::ofstream(dir.path() / "plain-file") << "not a tty";
  fs::create_symlink(dir.path() / "missing", ports / "COM9");
  const PortRoots roots{ports, dir.path() / "dev", dir.path() / "sys"};

  struct Case {
    std::string name;
    int error;
  };
  const Case cases[] = {
      {(dir.path() / "missing").string(), ENOENT},
      {"COM99", ENOENT},  // maps to nothing
      {"COM9", ENOENT},   // a link to a device that is not there
      {(dir.path() / "plain-file").string(), ENOTTY},
      {dir.path().string(), EISDIR},
  };
  for (const Case& c : cases) {
    PosixSerialPort port(roots);
    EXPECT_FALSE(port.Open(c.name)) << c.name;
    EXPECT_FALSE(port.IsOpen()) << c.name;
    EXPECT_EQ(port.LastFailure().message, "Błąd otwarcia portu !") << c.name;
    EXPECT_EQ(port.LastFailure().system_error, c.error) << c.name;
    EXPECT_NE(port.LastFailure().reason.find(std::strerror(c.error)),
              std::string::npos)
        << port.LastFailure().reason;
  }
}

TEST(PosixSerialPort, OpensAComNameFromThePortsFolder) {
  Pty pty;
  ASSERT_TRUE(pty.ok());
  TempDir dir;
  const fs::path ports = dir.path() / "ports";
  fs::create_directories(ports);
  fs::create_symlink(pty.slave_path(), ports / "COM12");
  PosixSerialPort port(PortRoots{ports, dir.path() / "dev", dir.path()});
  ASSERT_TRUE(port.Open(ComPortName(12))) << port.LastFailure().reason;
  EXPECT_EQ(port.device(), (ports / "COM12").string());
  ASSERT_TRUE(port.SetLine({}));
  const Bytes frame = {0x88, 0xFF, 0x01, 0x02, 0x5D, 0xE7};
  ASSERT_EQ(port.Write(frame), 6);
  EXPECT_EQ(pty.Receive(frame.size()), frame);
}

}  // namespace
}  // namespace lumera

#endif  // _WIN32
