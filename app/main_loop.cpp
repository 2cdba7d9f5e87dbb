#include "main_loop.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "console_keys.h"
#include "fsound.h"
#include "input_state.h"
#include "live_panels.h"
#include "midi_control.h"
#include "panel_lists.h"
#include "poll_input.h"
#include "rack_keys.h"
#include "recording_display.h"
#include "redraw.h"

namespace {
// Input events handled before a frame is drawn for them: a flood of input
// is still shown at a steady rate, and nothing else waits for all of it.
constexpr int input_events_per_turn = 64;

// Takes the pending input, at most input_events_per_turn events, and leaves
// in dirty_list every panel that they touched, in the order first marked.
// Stops after an event that asked to quit, so that what came before it is
// still drawn. Returns the number of events taken.
int take_input() {
  std::vector<int32_t> marked;
  int taken = 0;
  while (taken < input_events_per_turn && input.quit_code < 0 && poll_input() != 0) {
    ++taken;
    for (int32_t index : dirty_list)
      if (std::find(marked.begin(), marked.end(), index) == marked.end()) marked.push_back(index);
  }
  dirty_list = std::move(marked);
  return taken;
}

// Once: the output stopped by itself (the JACK server went away). The
// program plays on without sound until the user quits.
void report_stopped_output() {
  static bool reported = false;
  if (reported) return;
  const std::string reason = fsound_output_stop_reason();
  if (reason.empty()) return;
  reported = true;
  std::printf("The sound stopped: %s\n", reason.c_str());
}

// Whether a display frame has begun since the last call.
bool display_frame_due() {
  static Uint32 next = 0;
  const Uint32 now = SDL_GetTicks();
  if (static_cast<int32_t>(now - next) < 0) return false;
  next = now + 1000 / display_frames_per_second;
  return true;
}
}  // namespace

// Each turn: input first; then, once per display frame, what the audio side
// sent, the sequencers and the recordings; one frame for all of it. However
// fast the steps come, they cost at most one frame per display frame.
int32_t run_main_loop() {
  for (;;) {
    if (quit_signal() != 0) return 0;
    if (input.quit_code >= 0) return input.quit_code;
    // The rack's read-out comes and goes in frames of its own.
    const bool readout_frame = refresh_rack_status();
    // The window's input first, then a bounded share of the MIDI input.
    const int taken = take_input() + handle_midi_input();
    if (display_frame_due()) {
      take_step_events();
      mark_moved_sequencers();
      follow_recordings();
      report_stopped_output();
    }
    if (dirty_list.empty() && !input.full_frame_wanted && !readout_frame) {
      // Nothing to do: give the processor away for about a millisecond
      // instead of spinning on a core that the audio needs.
      if (taken == 0) SDL_Delay(1);
      continue;
    }
    redraw_rack(input.full_frame_wanted);
    input.full_frame_wanted = false;
  }
}
