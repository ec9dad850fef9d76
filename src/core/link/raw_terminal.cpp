#ifndef _WIN32

#include "core/link/raw_terminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace lumera {

std::optional<speed_t> BaudConstant(int baud_rate) {
  switch (baud_rate) {
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    default:
      return std::nullopt;
  }
}

bool MakeRawTerminal(int fd, speed_t speed) {
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) return false;
  ::cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  ::cfsetispeed(&settings, speed);
  ::cfsetospeed(&settings, speed);
  return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::optional<PseudoTerminal> OpenRawPseudoTerminal() {
  PseudoTerminal terminal;
  terminal.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal.master < 0) return std::nullopt;
  char name[128] = {};
  if (::grantpt(terminal.master) != 0 || ::unlockpt(terminal.master) != 0 ||
      ::ptsname_r(terminal.master, name, sizeof name) != 0) {
    ::close(terminal.master);
    return std::nullopt;
  }
  terminal.path = name;
  terminal.client = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal.client < 0 || !MakeRawTerminal(terminal.client, B38400)) {
    if (terminal.client >= 0) ::close(terminal.client);
    ::close(terminal.master);
    return std::nullopt;
  }
  return terminal;
}

}  // namespace lumera

#endif  // _WIN32
