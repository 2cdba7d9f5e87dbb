// zem: the console start-up (banner, audio menus), then the window with the
// rack of five panels; the instruments play while the main loop handles the
// input, until the user quits (ESC or closing the window) or a quit signal
// arrives. Every end goes through the orderly shut-down.
#include <csignal>
#include <cstdio>
#include <string>

#include "command_line.h"
#include "console_keys.h"
#include "main_loop.h"
#include "program_startup.h"
#include "realtime.h"
#include "recording_display.h"
#include "redraw.h"
#include "startup.h"
#include "video.h"

int main(int argc, char** argv) {
  // Console lines reach a pipe (a log, a test) as they are printed.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  program_options options;
  std::string error;
  if (!parse_program_options(argc, argv, options, error)) {
    std::fprintf(stderr, "zem: %s\n%s\n", error.c_str(), program_usage);
    return 2;
  }
  install_quit_signals();
  // A file that reaches the size limit fails its write, which the program
  // reports, instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  print_banner();
  start_sound();
  lock_memory();
  // The menus are over: from here on the window takes the keys, and the
  // console only its signals.
  restore_console();
  start_video();
  build_panels();
  create_streams();
  start_streams();
  draw_first_picture();
  const int32_t exit_code = run_main_loop();
  finish_recording();
  shut_down();
  quit_program(exit_code);
}
