// A sysfs tree in a temporary folder, for tests of what is read about the
// device behind a port: an FTDI adapter (latency timer 16 ms) as ttyUSB0,
// an ACM device without a serial number, a UART of the board, and /dev
// files for them, a pseudo-terminal and a device sysfs does not know; the
// ports folder's COM5 links to ttyUSB0.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace lumera::testing_sysfs {

namespace fs = std::filesystem;

inline void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << text << "\n";
}

class FakeSys {
 public:
  FakeSys() {
    std::string pattern =
        (fs::temp_directory_path() / "lumera-sys-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    const fs::path usb = root_ / "sys/devices/pci0/usb1";
    Write(usb / "1-1/idVendor", "0403");
    Write(usb / "1-1/idProduct", "6001");
    Write(usb / "1-1/serial", "A10K1234");
    Write(usb / "1-1/manufacturer", "FTDI");
    Write(usb / "1-1/product", "FT232R USB UART");
    Write(usb / "1-1/1-1:1.0/ttyUSB0/latency_timer", "16");
    Driver(usb / "1-1/1-1:1.0/ttyUSB0", "usb-serial", "ftdi_sio");
    Tty("ttyUSB0", usb / "1-1/1-1:1.0/ttyUSB0");
    Write(usb / "1-2/idVendor", "2341");
    Write(usb / "1-2/idProduct", "0043");
    Driver(usb / "1-2/1-2:1.0", "usb", "cdc_acm");
    Tty("ttyACM0", usb / "1-2/1-2:1.0");
    const fs::path uart = root_ / "sys/devices/platform/serial8250";
    Driver(uart, "platform", "serial8250");
    Tty("ttyS0", uart);
    for (const char* name : {"ttyUSB0", "ttyACM0", "ttyS0", "ttyX9", "pts/7"}) {
      Write(root_ / "dev" / name, "");
    }
    fs::create_directories(root_ / "ports");
    fs::create_symlink(root_ / "dev/ttyUSB0", root_ / "ports/COM5");
  }
  ~FakeSys() {
    std::error_code error;
    fs::remove_all(root_, error);
  }
  const fs::path& root() const { return root_; }
  fs::path ports_folder() const { return root_ / "ports"; }
  fs::path tty_folder() const { return root_ / "sys/class/tty"; }

 private:
  void Driver(const fs::path& device, const std::string& bus,
              const std::string& name) {
    const fs::path driver = root_ / "sys/bus" / bus / "drivers" / name;
    fs::create_directories(driver);
    fs::create_directories(device);
    fs::create_symlink(driver, device / "driver");
  }
  void Tty(const std::string& name, const fs::path& device) {
    fs::create_directories(tty_folder() / name);
    fs::create_symlink(device, tty_folder() / name / "device");
  }
  fs::path root_;
};

}  // namespace lumera::testing_sysfs
