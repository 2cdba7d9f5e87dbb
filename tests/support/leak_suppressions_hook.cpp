// The sanitizer runtime's hook for the suppressions of leak_suppressions.h.
// It is compiled into each test program directly (an object library), since
// nothing in the program refers to it and a static library would drop it.
#include "leak_suppressions.h"

extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return zem_test::leak_suppressions();
}
