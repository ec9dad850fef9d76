// The device a virtual controller serves: a new pseudo-terminal, or a given
// serial device. Both are raw, non-blocking, and closed with the object.
#pragma once

#include <optional>
#include <string>

namespace lumera {

class SimDevice {
 public:
  // A pseudo-terminal in raw mode. The controller keeps its client side
  // open too, so clients may come and go without the line hanging up.
  static std::optional<SimDevice> OpenPseudoTerminal();
  // An existing serial device, raw, 8N1 at `baud` (38400 when 0).
  static std::optional<SimDevice> OpenSerialDevice(const std::string& path,
                                                   int baud);

  SimDevice(SimDevice&& other) noexcept;
  SimDevice& operator=(SimDevice&& other) noexcept;
  SimDevice(const SimDevice&) = delete;
  SimDevice& operator=(const SimDevice&) = delete;
  ~SimDevice();

  int Fd() const { return fd_; }
  // The path clients open.
  const std::string& Path() const { return path_; }
  // Throws away what the line holds for a client that is not reading.
  void DiscardUnread() const;
  // A client that died without closing its port leaves the terminal
  // exclusive, which would keep every later client but root out. When no
  // client holds the port's lock, that mark is cleared.
  void ClearStaleExclusive() const;

 private:
  SimDevice(int fd, int held_fd, std::string path);
  void Close();

  int fd_ = -1;
  int held_fd_ = -1;  // the client side of a pseudo-terminal, or -1
  std::string path_;
};

}  // namespace lumera
