#pragma once
// Step events: the only message from the audio thread to the main thread.
// `render` posts one at the end of every pass (code 1) and, for the drum and
// oscillator engines, at every step (code 0). The text "%d_BEEP_%d" lives in an
// 80-byte buffer that belongs to the event once posted.
//
// The engines post through a seam so that they build and test without a window
// system: the program installs a poster that pushes an SDL user event, tests
// install one that records the events.
#include <cstdint>

constexpr int step_event_text_size = 80;
constexpr int pass_end_event_code = 1;
constexpr int step_event_code = 0;

// Hands one event on; returns false when it could not be delivered, in which
// case the caller frees `text`. On success `text` belongs to the receiver, which
// frees it with free().
using step_event_poster = bool (*)(int32_t code, char* text);

// Installs the poster (nullptr: events are dropped). Safe to call from any thread.
void set_step_event_poster(step_event_poster poster);

int32_t post_pass_end_event(int32_t a, int32_t b);
int32_t post_step_event(int32_t a, int32_t b);
