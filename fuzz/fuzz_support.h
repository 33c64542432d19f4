// Helpers shared by the fuzz targets.
#ifndef FUZZ_FUZZ_SUPPORT_H_
#define FUZZ_FUZZ_SUPPORT_H_

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

// Stops the run with a message; libFuzzer saves the input that did it.
#define FUZZ_CHECK(condition)                                              \
  do {                                                                     \
    if (!(condition)) {                                                    \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      abort();                                                             \
    }                                                                      \
  } while (0)

// A value with guard bytes right behind it: a write past the value's own
// buffer lands there (AddressSanitizer cannot see inside one object).
template <class T>
struct Guarded {
  T value;
  unsigned char guard[64];

  Guarded() { memset(guard, 0xA5, sizeof guard); }
  // The guard is intact and the string agrees with its length and limit.
  void check() const {
    for (unsigned char b : guard) FUZZ_CHECK(b == 0xA5);
    FUZZ_CHECK(value.length() <= T::kMaxLength);
    FUZZ_CHECK(strlen(value.c_str()) == value.length());
  }
};

#endif  // FUZZ_FUZZ_SUPPORT_H_
