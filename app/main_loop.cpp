#include "main_loop.h"

#include <SDL.h>

#include "console_keys.h"
#include "input_state.h"
#include "midi_control.h"
#include "panel_lists.h"
#include "poll_input.h"
#include "rack_keys.h"
#include "redraw.h"

int32_t run_main_loop() {
  for (;;) {
    if (quit_signal() != 0) return 0;
    if (input.quit_code >= 0) return input.quit_code;
    // The rack's read-out comes and goes in frames of its own.
    const bool readout_frame = refresh_rack_status();
    // The window's event first, then a bounded share of the MIDI input.
    const int32_t window_events = poll_input();
    if (window_events + handle_midi_input() == 0 && !readout_frame) {
      // Nothing pending: give the processor away for about a millisecond
      // instead of spinning on a core that the audio needs.
      SDL_Delay(1);
      continue;
    }
    if (dirty_list.empty() && !input.full_frame_wanted && !readout_frame) continue;
    redraw_rack(input.full_frame_wanted);
    input.full_frame_wanted = false;
  }
}
