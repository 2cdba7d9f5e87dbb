#pragma once
// Running code or a program in a child process, with its output captured and
// its end reported; a child still running after its time limit is killed, so
// that a test fails instead of hanging.
//
// run_in_child: a function in a forked copy of the test, with given standard
// input; it ends with exit code 0 when the function returns.
//
// program: a program started with a pipe on its standard input and its
// standard output (and, on request, its standard error) captured; the test
// types keys, sends signals, then finish() closes the input and waits.
//
//   zem_test::program zem(ZEM_PROGRAM, folder.path());
//   zem.type("1");
//   const zem_test::run_result result = zem.finish();
//   EXPECT_EQ(result.exit_code, 0) << result.out;
//
//   zem_test::launch how;  // set field by field: -Wextra rejects designated
//   how.arguments = {"tb303", "out.wav"};  // initialisers that leave fields out
//   how.capture_errors = true;
//   const auto render = zem_test::program(ZEM_RENDER_PATH, how).finish();
//
// run_program: a program given its whole input at once.
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace zem_test {

struct run_result {
  std::string out;        // its standard output
  std::string err;        // its standard error, when captured
  int exit_code = -1000;  // the exit status, or -1000 when ended by a signal
  int signal = 0;         // the signal that ended it, or 0
  // The shell's status: the exit status, or 128 + the signal.
  int status() const { return signal != 0 ? 128 + signal : exit_code; }
};

// Reads `out_fd` (and `err_fd`, unless -1) to their ends, closes them and
// reaps `pid`, killing it after `timeout_seconds`.
run_result wait_for(pid_t pid, int out_fd, int err_fd = -1, int timeout_seconds = 30);

run_result run_in_child(const std::function<void()>& body, const std::string& keys = "");

// How to start a program.
struct launch {
  std::vector<std::string> arguments;    // after the program's own path
  std::string folder;                    // its working directory; empty: the test's
  std::vector<std::string> environment;  // NAME=VALUE entries added to the test's
  bool input_closed = false;             // starts with no standard input descriptor at all
  bool capture_errors = false;           // standard error into run_result::err, else the test's
  int timeout_seconds = 30;              // from the start of finish()
};

class program {
 public:
  program(const std::string& path, const launch& how);
  program(const std::string& path, const std::string& folder,
          const std::vector<std::string>& environment = {}, bool input_closed = false);
  ~program();
  program(const program&) = delete;
  program& operator=(const program&) = delete;

  void type(const std::string& keys);
  void end_input();
  void signal(int number);
  // Waits for the end of the program (closing its input first).
  run_result finish();

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  int errors_ = -1;
  int timeout_seconds_ = 30;
  bool finished_ = false;
};

// Runs the program in `folder` with `keys` as its whole input.
run_result run_program(const std::string& path, const std::string& folder, const std::string& keys);

}  // namespace zem_test
