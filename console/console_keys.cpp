#include "console_keys.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {
// The signal handler may run on any thread (an audio thread too), so what it
// shares with the main thread is lock-free atomic.
std::atomic<int> caught_signal{0};
int wake_pipe[2] = {-1, -1};  // written by the signal handler, polled by the reader

constexpr int quit_signals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// The terminal as it was found, read once before any other thread exists and
// never changed afterwards; `terminal_changed` says whether it must be put back.
termios saved_terminal;
bool terminal_saved = false;
std::atomic<bool> terminal_changed{false};

// Bytes read from the terminal in one go (a key of several bytes, or keys typed
// very fast or pasted), handed out by the next calls.
unsigned char pending[64];
int pending_count = 0;
int pending_next = 0;

// The next key of `pending`, or -1 when what came was an escape sequence (an
// arrow, a function key, Alt with a key), which is dropped as a whole. A lone
// ESC, with nothing after it in the same read, is the ESC key.
int next_terminal_key() {
  const unsigned char first = pending[pending_next++];
  if (first != key_escape || pending_next == pending_count) return first;
  const unsigned char introducer = pending[pending_next++];
  if (introducer == '[' || introducer == 'O') {
    // Parameter and intermediate bytes, then one final byte.
    while (pending_next < pending_count && pending[pending_next] >= 0x20 &&
           pending[pending_next] < 0x40)
      ++pending_next;
    if (pending_next < pending_count) ++pending_next;
  }
  return -1;
}

void on_quit_signal(int signal) {
  const int saved_errno = errno;
  caught_signal = signal;
  // The terminal is put back at once: a second Ctrl-C or SIGTERM ends the
  // process at once, should the orderly end ever get stuck, and a broken
  // console pipe ends it at its next write.
  restore_console();
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  for (int s : quit_signals) sigaction(s, &default_action, nullptr);
  if (wake_pipe[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = write(wake_pipe[1], &byte, 1);
  }
  errno = saved_errno;
}

// After a quit signal the terminal stays as it was found: no key is read any more.
void enter_raw_mode() {
  if (terminal_changed || caught_signal != 0 || !isatty(STDIN_FILENO)) return;
  if (!terminal_saved) {
    if (tcgetattr(STDIN_FILENO, &saved_terminal) != 0) return;
    terminal_saved = true;
    std::atexit(restore_console);
  }
  termios raw = saved_terminal;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);  // ISIG stays: Ctrl-C still signals
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) return;
  terminal_changed = true;
  // A signal whose handler ran before the line above found nothing to restore.
  if (caught_signal != 0) restore_console();
}

// Waits until `input` (unless it is -1) or the wake pipe is ready. False when
// a termination signal has arrived.
bool wait_ready(int input) {
  for (;;) {
    if (caught_signal != 0) return false;
    pollfd fds[2] = {{wake_pipe[0], POLLIN, 0}, {input, POLLIN, 0}};
    const int n = poll(fds, input >= 0 ? 2 : 1, -1);
    if (n < 0 && errno != EINTR) return true;  // let the read report the failure
    if (caught_signal != 0) return false;
    if (n > 0 && input >= 0 && fds[1].revents != 0) return true;
  }
}

// A standard descriptor that the process was started without is opened on
// /dev/null. Otherwise the next file opened would take its number: the wake
// pipe would become standard input (and the menus would wait for ever), or a
// device or the recording would receive what is meant for the console.
void open_missing_standard_descriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    const int null = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (null >= 0 && null != fd) {
      dup2(null, fd);
      close(null);
    }
  }
}
}  // namespace

void install_quit_signals() {
  open_missing_standard_descriptors();
  if (wake_pipe[0] < 0 && pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) wake_pipe[0] = -1;
  struct sigaction action {};
  action.sa_handler = on_quit_signal;
  sigemptyset(&action.sa_mask);
  // Interrupted library calls (opening a device, say) carry on; the reader
  // learns of the signal through the wake pipe, which wakes its poll.
  action.sa_flags = SA_RESTART;
  for (int signal : quit_signals) sigaction(signal, &action, nullptr);
}

int read_key() {
  // Raw mode first: a key typed as soon as the menu shows is neither echoed
  // nor held back until Enter.
  enter_raw_mode();
  std::fflush(stdout);
  const bool terminal = terminal_changed != 0;
  for (;;) {
    if (pending_next < pending_count) {
      const int key = next_terminal_key();
      if (key >= 0) return key;
      continue;  // a whole escape sequence was dropped
    }
    if (!wait_ready(STDIN_FILENO)) return key_quit;
    // A pipe is read byte by byte; a terminal delivers a whole key at once.
    const ssize_t n = read(STDIN_FILENO, pending, terminal ? sizeof pending : 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return key_end;
    if (!terminal) return pending[0];
    pending_count = static_cast<int>(n);
    pending_next = 0;
  }
}

void wait_for_quit_signal() {
  std::fflush(stdout);
  while (wait_ready(-1)) {
  }
}

bool wait_for_input_or_quit(int fd) {
  return wait_ready(fd);
}

int quit_signal() {
  return caught_signal;
}

void end_by_quit_signal() {
  std::fflush(stdout);
  restore_console();
  const int caught = caught_signal;
  const int signal = caught != 0 ? caught : SIGTERM;
  std::signal(signal, SIG_DFL);
  std::raise(signal);
  std::_Exit(128 + signal);
}

void restore_console() {
  // Whoever clears the flag restores the terminal: the main thread or a signal
  // handler on any thread, never both.
  if (terminal_changed.exchange(false)) tcsetattr(STDIN_FILENO, TCSANOW, &saved_terminal);
}
