#pragma once
// Delivers the engines' step events to the main thread as SDL user events:
// code 1 (pass end) or 0 (step), the "%d_BEEP_%d" text as first data pointer.
#include <cstdint>

// Pushes one step event; false when SDL refused it (the caller keeps the text).
bool push_sdl_step_event(int32_t code, char* text);

// Makes the engines post their step events through SDL.
void install_sdl_step_event_poster();
