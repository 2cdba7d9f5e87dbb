#pragma once
// The mouse side of the input loop: hover, knob drags, widget moves, presses
// and releases, turned into widget events on the panels concerned.
#include <SDL.h>

void handle_mouse_motion(const SDL_Event& event);
void handle_mouse_press(const SDL_Event& event);
void handle_mouse_release(const SDL_Event& event);
