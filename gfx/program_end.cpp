#include "program_end.h"

#include <cstdio>
#include <cstdlib>

namespace {

thread_local int throwing_holders = 0;

std::string on_one_line(const std::string& text) {
  std::string line;
  bool blank = false;
  for (const char c : text) {
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
      blank = true;
      continue;
    }
    if (blank && !line.empty()) line += ' ';
    blank = false;
    line += c;
  }
  return line;
}

}  // namespace

program_end_request::program_end_request(const std::string& console_text, int exit_code)
    : std::runtime_error(on_one_line(console_text)),
      console_text(console_text),
      exit_code(exit_code) {}

void end_program(const std::string& console_text, int exit_code) {
  if (throwing_holders > 0) throw program_end_request(console_text, exit_code);
  std::fputs(console_text.c_str(), stdout);
  std::fflush(stdout);
  std::exit(exit_code);
}

program_end_throws::program_end_throws() {
  ++throwing_holders;
}

program_end_throws::~program_end_throws() {
  --throwing_holders;
}
