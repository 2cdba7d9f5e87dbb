// zem: the console start-up (banner, audio menus), then the window with the
// rack of five panels; the instruments play while the main loop handles the
// input, until the user quits (ESC or closing the window) or a quit signal
// arrives. Every end goes through the orderly shut-down. Without an X display
// it stops at once with one line, before the console or SDL is touched.
#include <cstdio>

#include "console_keys.h"
#include "main_loop.h"
#include "program_startup.h"
#include "redraw.h"
#include "startup.h"
#include "video.h"

int main() {
  // Console lines reach a pipe (a log, a test) as they are printed.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (!use_x_display()) {
    std::fprintf(stderr,
                 "zem needs an X display, and DISPLAY is not set: start it in a desktop "
                 "session, or over ssh -X\n");
    return 1;
  }
  install_quit_signals();
  print_banner();
  start_sound();
  // The menus are over: from here on the window takes the keys, and the
  // console only its signals.
  restore_console();
  start_video();
  build_panels();
  create_streams();
  start_streams();
  draw_first_picture();
  const int32_t exit_code = run_main_loop();
  shut_down();
  quit_program(exit_code);
}
