#pragma once
// The one place where the window's libraries end the program. A few faults
// of an installation leave the program nothing to go on with: a texture index
// that cannot be opened, a broken layout file, a label linked to no widget, an
// LFO knob of neither LFO. The program prints their message on the console
// and ends with their exit code, here.
//
// A tool or a test that uses these libraries and must not be ended holds a
// `program_end_throws` meanwhile: the fault then comes back to it as a
// `program_end_request`, and the process goes on.
#include <stdexcept>
#include <string>

class program_end_request : public std::runtime_error {
 public:
  // what() is the console text on one line: its line ends and runs of
  // blanks become one space, and none leads or trails.
  program_end_request(const std::string& console_text, int exit_code);

  std::string console_text;  // exactly as the program prints it
  int exit_code;
};

// Prints console_text on standard output and ends the process with
// exit_code; throws program_end_request instead while a program_end_throws
// lives on this thread.
[[noreturn]] void end_program(const std::string& console_text, int exit_code);

// While one lives, end_program on this thread throws instead of ending the
// process. They nest.
class program_end_throws {
 public:
  program_end_throws();
  ~program_end_throws();
  program_end_throws(const program_end_throws&) = delete;
  program_end_throws& operator=(const program_end_throws&) = delete;
};
