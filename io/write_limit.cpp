#include "write_limit.h"

#include <csignal>

void report_writes_past_size_limit() {
  std::signal(SIGXFSZ, SIG_IGN);
}
