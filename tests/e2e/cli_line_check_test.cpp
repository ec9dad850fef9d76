// lumera-cli line-check on an FTDI adapter with its latency timer at 16 ms,
// from a fake sysfs, with a controller played in memory.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_commands.h"
#include "core/link/operations.h"
#include "support/fake_serial_port.h"
#include "support/fake_sysfs.h"
#include "support/reply_frames.h"

namespace lumera {
namespace {

// The advice is the point of the check: without it a slow adapter stays
// slow. A wrong device, ids or path would send the technician astray.
TEST(CliLineCheck, FtdiAdapterAboveOneMillisecondGetsTheAdvice) {
  testing_sysfs::FakeSys sys;
  std::ostringstream out;
  std::ostringstream err;
  const PortRoots roots{sys.ports_folder(), sys.root() / "dev",
                        sys.tty_folder()};
  CliEnvironment env{out, err, false, sys.root(), roots, nullptr, nullptr};
  env.create_port = []() -> std::unique_ptr<SerialPort> {
    auto port = std::make_unique<FakeSerialPort>();
    port->on_write = [](std::span<const std::uint8_t> frame,
                        FakeSerialPort& p) {
      p.Feed(ReplyFrame(frame[2],
                        static_cast<std::uint8_t>(RequestCode::kReadVersion),
                        {0x10}));
    };
    return port;
  };
  const std::vector<std::string_view> args{"--port", "5", "line-check",
                                           "--count", "4"};
  ASSERT_EQ(RunCli(args, env), kExitSuccess) << err.str();
  const std::string text = out.str();
  for (std::string_view want :
       {std::string_view("4 z 4 zapytań ReadVersion"),
        std::string_view("sterownik ftdi_sio, USB 0403:6001, nr seryjny "
                         "A10K1234 (FTDI FT232R USB UART)"),
        std::string_view("Latency timer adaptera FTDI: 16 ms"),
        std::string_view(
            "echo 1 | sudo tee "
            "/sys/bus/usb-serial/devices/ttyUSB0/latency_timer")}) {
    EXPECT_NE(text.find(want), std::string::npos) << want << "\n" << text;
  }
}

}  // namespace
}  // namespace lumera
