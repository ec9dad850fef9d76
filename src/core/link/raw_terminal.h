// Terminals in raw mode on POSIX systems: the termios speed constants, and
// new pseudo-terminals for a peer played in this process.
#pragma once

#ifndef _WIN32

#include <termios.h>

#include <optional>
#include <string>

namespace lumera {

// The termios constant of `baud_rate`; none for a rate not offered.
std::optional<speed_t> BaudConstant(int baud_rate);

// Raw bytes (no echo, no line editing, no CR/LF mapping), 8 bits, receiver
// on, modem lines ignored, one byte a read, at `speed` both ways.
bool MakeRawTerminal(int fd, speed_t speed);

struct PseudoTerminal {
  int master = -1;
  int client = -1;  // the side a serial port opens by `path`
  std::string path;
};

// A new pseudo-terminal with both sides open and its client side raw at
// 38400 baud; none, with nothing left open, when a step fails.
std::optional<PseudoTerminal> OpenRawPseudoTerminal();

}  // namespace lumera

#endif  // _WIN32
