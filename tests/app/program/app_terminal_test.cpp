// The program on a terminal: single keys are read raw and unechoed without
// Enter, a multi-byte key (an arrow) is not taken for ESC, and the terminal is
// put back as it was found once the menus are answered, whether the program
// ends through a signal or its console output goes away.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>

#include "child_process.h"
#include "temp_folder.h"
#include "window_session.h"

namespace {
using zem_test::temp_folder;

// The program with a terminal as its standard input. Its standard output goes
// to the terminal too, or with `output_to_pipe` to a pipe that the test reads
// and can close.
class terminal_run {
 public:
  explicit terminal_run(const std::string& folder, bool output_to_pipe = false,
                        bool with_display = true) {
    int out[2] = {-1, -1};
    if (output_to_pipe && pipe(out) != 0) return;
    pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      if (output_to_pipe) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
      }
      if (chdir(folder.c_str()) != 0) _exit(126);
      for (const std::string& entry : window_test::leak_environment())
        putenv(strdup(entry.c_str()));
      if (!with_display) unsetenv("DISPLAY");
      execl(ZEM_PROGRAM, ZEM_PROGRAM, static_cast<char*>(nullptr));
      _exit(127);
    }
    if (output_to_pipe) close(out[1]);
    output_ = output_to_pipe ? out[0] : master_;
  }
  ~terminal_run() {
    if (pid_ > 0 && !finished_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close_output();
    if (master_ >= 0) close(master_);
  }
  // Closes the test's end of the output pipe: the program's next write fails.
  void close_output() {
    if (output_ >= 0 && output_ != master_) close(output_);
    output_ = -1;
  }
  bool started() const { return pid_ > 0; }
  void type(const std::string& keys) {
    [[maybe_unused]] ssize_t n = write(master_, keys.data(), keys.size());
  }
  // Reads the terminal until `text` has appeared (at most 20 s; a read may
  // bring as little as one line).
  bool wait_for(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (screen_.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline)
      read_some(100);
    return screen_.find(text) != std::string::npos;
  }
  const std::string& screen() const { return screen_; }
  termios settings() const {
    termios t{};
    tcgetattr(master_, &t);
    return t;
  }
  void signal(int number) { kill(pid_, number); }
  // How the program ended (its output is in screen()). A program still
  // running after 30 s is killed, so that a test fails instead of hanging.
  zem_test::run_result finish() {
    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < 3000 && (ended = waitpid(pid_, &status, WNOHANG)) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (ended != pid_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    }
    finished_ = true;
    read_some(0);
    zem_test::run_result result;
    if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
  }

 private:
  void read_some(int timeout_ms) {
    pollfd fd{output_, POLLIN, 0};
    if (output_ < 0 || poll(&fd, 1, timeout_ms) <= 0) return;
    char buffer[4096];
    const ssize_t n = read(output_, buffer, sizeof buffer);
    if (n > 0) screen_.append(buffer, static_cast<size_t>(n));
  }
  int master_ = -1;
  int output_ = -1;
  pid_t pid_ = -1;
  bool finished_ = false;
  std::string screen_;
};

bool cooked(const termios& t) {
  return (t.c_lflag & ICANON) != 0 && (t.c_lflag & ECHO) != 0;
}

// The menu text reaches a terminal line by line, a moment before the program
// switches the terminal to raw keys: waits (at most 5 s) for the switch.
bool becomes_raw(const terminal_run& zem) {
  for (int i = 0; i < 500 && cooked(zem.settings()); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return !cooked(zem.settings());
}

TEST(AppTerminal, KeysAreTakenAtOnceAndTheTerminalIsRestoredWhenTheWindowOpens) {
  temp_folder folder;
  window_test::borrow_installation(folder);
  terminal_run zem(folder.path());
  ASSERT_TRUE(zem.started());
  ASSERT_TRUE(zem.wait_for("Press a corresponding number or ESC to quit"));
  ASSERT_TRUE(becomes_raw(zem)) << "the menu waits in cooked mode";
  zem.type("\033[A");  // the up arrow: ignored, not ESC
  zem.type("4");       // no Enter
  ASSERT_TRUE(zem.wait_for("NoSound Driver list")) << zem.screen();
  zem.type("1");
  ASSERT_TRUE(zem.wait_for("Init Video")) << zem.screen();
  // The keys were not echoed: after the last menu line comes the video's.
  EXPECT_NE(zem.screen().find("ESC to quit\r\nInit Video"), std::string::npos) << zem.screen();
  EXPECT_TRUE(window_test::wait_until([&] { return cooked(zem.settings()); }, 20))
      << "the terminal stays raw while the window has the keys";
  zem.signal(SIGTERM);
  // Reading the terminal lets the program write the rest of its start-up.
  EXPECT_TRUE(zem.wait_for("Late audio blocks: ")) << zem.screen();
  EXPECT_EQ(zem.finish().exit_code, 0);
  EXPECT_TRUE(cooked(zem.settings()));
}

// A signal at a menu ends the program as the signal would, terminal restored.
TEST(AppTerminal, SignalAtAMenuEndsTheProgramWithTheTerminalRestored) {
  for (int signal : {SIGTERM, SIGINT}) {
    temp_folder folder;
    terminal_run zem(folder.path());
    ASSERT_TRUE(zem.started());
    ASSERT_TRUE(zem.wait_for("Press a corresponding number or ESC to quit"));
    ASSERT_TRUE(becomes_raw(zem));
    zem.signal(signal);
    EXPECT_EQ(zem.finish().signal, signal);
    EXPECT_TRUE(cooked(zem.settings())) << signal;
  }
}
// When the reader of the console output goes away (the program was piped into
// another that ended), the program may be ended by the broken pipe, but never
// with the terminal left raw: neither at a menu, nor after Ctrl-C while playing.
TEST(AppTerminal, TerminalIsRestoredWhenTheConsoleOutputGoesAway) {
  for (const bool playing : {false, true}) {
    temp_folder folder;
    window_test::borrow_installation(folder);
    terminal_run zem(folder.path(), true);
    ASSERT_TRUE(zem.started());
    ASSERT_TRUE(zem.wait_for("Press a corresponding number or ESC to quit"));
    if (playing) {
      zem.type("4");
      ASSERT_TRUE(zem.wait_for("NoSound Driver list"));
      zem.type("1");
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      zem.close_output();
      zem.signal(SIGINT);
    } else {
      zem.close_output();
      zem.type("4");
    }
    zem.finish();
    EXPECT_TRUE(cooked(zem.settings())) << (playing ? "while playing" : "at a menu");
  }
}

// Over ssh there is no display: one line says so at once, and nothing else
// (no menu, no text-mode video driver) touches the terminal.
TEST(AppTerminal, WithoutADisplayOneLineSaysSoAndTheTerminalIsLeftAlone) {
  temp_folder folder;
  terminal_run zem(folder.path(), false, false);
  ASSERT_TRUE(zem.started());
  EXPECT_EQ(zem.finish().exit_code, 1);
  EXPECT_EQ(zem.screen(),
            "zem needs an X display, and DISPLAY is not set: start it in a desktop session, or "
            "over ssh -X\r\n");
  EXPECT_TRUE(cooked(zem.settings()));
}
}  // namespace
