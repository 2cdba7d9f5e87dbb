#pragma once
// The one list of leaks that LeakSanitizer must not count against us: the X,
// GL and ALSA client libraries keep allocations of their own (for the life of
// the process, or left behind when ALSA unloads its plugins) that are not
// ours to free.
//
// Every test program gets the list through its __lsan_default_suppressions
// (leak_suppressions_hook.cpp, linked into each test by zem_add_tests): a test
// needs nothing more. A test that starts the program itself passes it on with
// leak_environment().
#include <string>
#include <vector>

namespace zem_test {

// The suppressions, one "leak:PATTERN" a line.
const char* leak_suppressions();

// The AddressSanitizer options with which the ALSA plugins' leaks keep the
// full stacks that let the "leak:snd_dlopen" suppression find them.
constexpr const char* full_stack_asan_options = "fast_unwind_on_malloc=0";

// NAME=VALUE entries for a program started by a test in a sanitizer build:
// the suppressions are written to a file in `folder` and the sanitizers are
// pointed at it, with full stacks.
std::vector<std::string> leak_environment(const std::string& folder);

}  // namespace zem_test
