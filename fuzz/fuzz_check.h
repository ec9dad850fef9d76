// A failed property check in a fuzz target: abort, so that both libFuzzer
// and the replay driver report the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define LUMERA_FUZZ_CHECK(condition)                                        \
  do {                                                                      \
    if (!(condition)) {                                                     \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, \
                   #condition);                                             \
      std::abort();                                                         \
    }                                                                       \
  } while (false)
