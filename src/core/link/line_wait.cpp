#ifndef _WIN32

#include "core/link/line_wait.h"

#include <algorithm>
#include <cerrno>
#include <climits>

namespace lumera {

WaitClock::time_point DeadlineAfter(std::uint64_t ms) {
  return WaitClock::now() +
         std::chrono::milliseconds(std::min<std::uint64_t>(ms, INT_MAX));
}

int MsLeft(WaitClock::time_point deadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - WaitClock::now());
  return static_cast<int>(std::max<std::int64_t>(0, left.count()));
}

int PollUntil(pollfd& p, WaitClock::time_point deadline,
              const AbortCheck& abort) {
  const int slice_ms = static_cast<int>(kAbortCheckInterval.count());
  for (;;) {
    if (abort && abort()) return 0;
    const int left = MsLeft(deadline);
    const int slice = abort ? std::min(left, slice_ms) : left;
    const int ready = ::poll(&p, 1, slice);
    if (ready < 0 && errno == EINTR) continue;
    if (ready != 0 || slice == left) return ready;
  }
}

}  // namespace lumera

#endif  // _WIN32
