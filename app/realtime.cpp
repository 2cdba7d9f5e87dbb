#include "realtime.h"

#include <sys/mman.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "sanitizer_build.h"

namespace {
constexpr bool sanitized = ZEM_SANITIZER_BUILD;

// Whether the process may lock any amount of memory (CAP_IPC_LOCK).
bool may_lock_without_limit() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("CapEff:", 0) != 0) continue;
    const uint64_t capabilities = std::stoull(line.substr(7), nullptr, 16);
    constexpr int cap_ipc_lock = 14;
    return (capabilities >> cap_ipc_lock & 1) != 0;
  }
  return false;
}
}  // namespace

void lock_memory() {
  if (sanitized) return;
  // With a limit, memory locked for the future would make allocations fail
  // once the limit is reached: lock only where there is none.
  rlimit limit{};
  if (!may_lock_without_limit() && getrlimit(RLIMIT_MEMLOCK, &limit) == 0 &&
      limit.rlim_cur != RLIM_INFINITY) {
    std::printf(
        "Memory not locked: the locked-memory limit is %llu kB (ulimit -l); the sound may "
        "break when the system runs short of memory\n",
        static_cast<unsigned long long>(limit.rlim_cur / 1024));
    return;
  }
  // Pages are locked as they are first used, not all at once: the window's
  // libraries map far more than the program ever touches.
  if (mlockall(MCL_CURRENT | MCL_FUTURE | MCL_ONFAULT) != 0)
    std::printf(
        "Memory not locked (mlockall: %s); the sound may break when the system runs short of "
        "memory\n",
        std::strerror(errno));
}
