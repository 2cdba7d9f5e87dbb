#include "console_keys.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {
volatile sig_atomic_t caught_signal = 0;
int wake_pipe[2] = {-1, -1};  // written by the signal handler, polled by the reader

termios saved_terminal;
volatile sig_atomic_t terminal_changed = 0;

// Keys read from the terminal in one go beyond the first (typed very fast or
// pasted), handed out by the next calls.
unsigned char pending[16];
int pending_count = 0;
int pending_next = 0;

void on_quit_signal(int signal) {
  caught_signal = signal;
  const int saved_errno = errno;
  if (wake_pipe[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(wake_pipe[1], &byte, 1);
  }
  errno = saved_errno;
}

void enter_raw_mode() {
  if (terminal_changed || !isatty(STDIN_FILENO)) return;
  if (tcgetattr(STDIN_FILENO, &saved_terminal) != 0) return;
  termios raw = saved_terminal;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);  // ISIG stays: Ctrl-C still signals
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  static bool registered = false;
  if (!registered) {
    std::atexit(restore_console);
    registered = true;
  }
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0) terminal_changed = 1;
}

// Waits until standard input (if `with_input`) or the wake pipe is ready.
// False when a termination signal has arrived.
bool wait_ready(bool with_input) {
  for (;;) {
    if (caught_signal != 0) return false;
    pollfd fds[2] = {{wake_pipe[0], POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    const int n = poll(fds, with_input ? 2 : 1, -1);
    if (n < 0 && errno != EINTR) return true;  // let the read report the failure
    if (caught_signal != 0) return false;
    if (n > 0 && with_input && fds[1].revents != 0) return true;
  }
}
}  // namespace

void install_quit_signals() {
  if (wake_pipe[0] < 0 && pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) wake_pipe[0] = -1;
  struct sigaction action {};
  action.sa_handler = on_quit_signal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int read_key() {
  std::fflush(stdout);
  if (pending_next < pending_count) return pending[pending_next++];
  enter_raw_mode();
  const bool terminal = terminal_changed != 0;
  for (;;) {
    if (!wait_ready(true)) return key_quit;
    // A pipe is read byte by byte; a terminal delivers a whole key at once.
    unsigned char bytes[sizeof pending];
    const ssize_t n = read(STDIN_FILENO, bytes, terminal ? sizeof bytes : 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return key_end;
    if (terminal && n > 1 && bytes[0] == key_escape) continue;  // an escape sequence
    for (ssize_t i = 1; i < n; ++i) pending[i - 1] = bytes[i];
    pending_count = static_cast<int>(n - 1);
    pending_next = 0;
    return bytes[0];
  }
}

void wait_for_quit_signal() {
  std::fflush(stdout);
  while (wait_ready(false)) {
  }
}

int quit_signal() {
  return caught_signal;
}

void end_by_quit_signal() {
  std::fflush(stdout);
  restore_console();
  const int signal = caught_signal != 0 ? caught_signal : SIGTERM;
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  std::_Exit(128 + signal);
}

void restore_console() {
  if (!terminal_changed) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &saved_terminal);
  terminal_changed = 0;
}
