// zem: the console start-up, then the five instruments play until the user
// quits. The window and the instrument panels take their places in this spine
// at steps 3, 4 and 9 and in the loop.
#include "console_keys.h"
#include "startup.h"

#ifdef ZEM_WITH_GUI
#include "sdl_step_events.h"
#endif

namespace {
// Steps 3 and 4: the window. Until it exists only the step-event delivery is
// set up; events that cannot be delivered are freed by the poster's caller.
void start_video() {
#ifdef ZEM_WITH_GUI
  install_sdl_step_event_poster();
#endif
}
}  // namespace

int main() {
  install_quit_signals();
  print_banner();
  start_sound();
  start_video();
  build_instruments();
  create_streams();
  start_streams();
  play_until_quit();
  shut_down();
  return 0;
}
