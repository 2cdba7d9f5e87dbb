#pragma once
// Step events: the only message from the audio thread to the main thread.
// `render` posts one at the end of every pass and, for the drum and
// oscillator engines, at every step. An event is a small fixed-size record,
// handed to the installed poster by value: posting neither allocates, nor
// formats text, nor waits.
//
// The engines post through a seam so that they build and test without a window
// system: the program installs a poster that puts the events on lock-free
// rings for the main loop, tests install one that records them.
#include <cstdint>

constexpr int pass_end_event_code = 1;
constexpr int step_event_code = 0;

struct step_event {
  int32_t code;        // pass_end_event_code or step_event_code
  int32_t instrument;  // the instrument's number
  // For a pass end, the pattern that the engine reports at the end of the
  // pass; for a step, the step that starts.
  int32_t number;
};

// Hands one event on. Called on the rendering thread: it must neither
// allocate, lock nor wait, and drops what it cannot take.
using step_event_poster = void (*)(const step_event& event);

// Installs the poster (nullptr: events are dropped). Safe to call from any thread.
void set_step_event_poster(step_event_poster poster);

int32_t post_pass_end_event(int32_t a, int32_t b);
int32_t post_step_event(int32_t a, int32_t b);
