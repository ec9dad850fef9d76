// Waiting on a descriptor, for the POSIX ports: up to a deadline, in slices
// that ask the port's abort check, so that no wait outlasts an abort by more
// than kAbortCheckInterval.
#pragma once

#ifndef _WIN32

#include <poll.h>

#include <chrono>
#include <cstdint>

#include "core/link/serial_port.h"

namespace lumera {

using WaitClock = std::chrono::steady_clock;

// `ms` from now, capped where poll() can still count it.
WaitClock::time_point DeadlineAfter(std::uint64_t ms);

// Milliseconds left until `deadline`, rounded up; 0 once it has passed.
int MsLeft(WaitClock::time_point deadline);

// poll() on `p` until `deadline`: above 0 when ready; 0 when the deadline
// passed or `abort` answered true (asked first, then every
// kAbortCheckInterval); below 0 when poll failed (errno). EINTR is waited
// through.
int PollUntil(pollfd& p, WaitClock::time_point deadline,
              const AbortCheck& abort);

}  // namespace lumera

#endif  // _WIN32
