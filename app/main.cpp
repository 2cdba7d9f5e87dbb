// zem: the console start-up (banner, audio menus), then the window with the
// rack of five panels, opened from a session file when the command line names
// one; the instruments play while the main loop handles the input, until the
// user quits (ESC or closing the window) or a quit signal arrives. Every end
// goes through the orderly shut-down, which autosaves the rack first. Without
// an X display it stops at once with one line, before the console or SDL is
// touched.
#include <cstdio>
#include <string>

#include "autosave.h"
#include "command_line.h"
#include "console_keys.h"
#include "main_loop.h"
#include "midi_control.h"
#include "midi_ports.h"
#include "program_session.h"
#include "program_startup.h"
#include "rack_keys.h"
#include "realtime.h"
#include "recording_display.h"
#include "redraw.h"
#include "startup.h"
#include "video.h"
#include "write_limit.h"

int main(int argc, char** argv) {
  // Console lines reach a pipe (a log, a test) as they are printed.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  program_options options;
  std::string error;
  if (!parse_program_options(argc, argv, options, error)) {
    std::fprintf(stderr, "zem: %s\n%s\n", error.c_str(), program_usage);
    return 2;
  }
  if (!use_x_display()) {
    std::fprintf(stderr,
                 "zem needs an X display, and DISPLAY is not set: start it in a desktop "
                 "session, or over ssh -X\n");
    return 1;
  }
  check_session_option(options);
  install_quit_signals();
  report_writes_past_size_limit();
  print_banner();
  prepare_midi_ports(options.midi);
  start_sound();
  lock_memory();
  // The menus are over: from here on the window takes the keys, and the
  // console only its signals.
  restore_console();
  start_video();
  build_panels();
  start_midi_control();
  open_midi_ports();
  // The rack's clock before the session, which sets its tempo and sync source.
  start_rack_control(options);
  start_session();
  start_autosave();
  create_streams();
  start_streams();
  draw_first_picture();
  const int32_t exit_code = run_main_loop();
  finish_autosave();
  finish_recording();
  finish_midi_ports();
  shut_down();
  quit_program(exit_code);
}
