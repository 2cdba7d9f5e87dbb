#include "poll_input.h"

#include <SDL.h>

#include <cstdio>

#include "input_state.h"
#include "key_commands.h"
#include "panel_lists.h"
#include "pointer_input.h"
#include "video.h"

namespace {
// The event of the turn being handled.
SDL_Event current_event;

void handle_key(const SDL_KeyboardEvent& key) {
  switch (key.keysym.sym) {
    case SDLK_ESCAPE:
      // The main loop ends and the program shuts down in order.
      input.quit_code = 0;
      break;
    case SDLK_F1:
      toggle_full_screen();
      input.full_frame_wanted = true;
      break;
    case SDLK_F2:
      for (INSTRUMENT_GUI* panel : instrument_panels) panel->save_layout();
      break;
    default:
      run_key_command(key);
      break;
  }
}

void handle_resize(const SDL_ResizeEvent& resize) {
  SDL_Surface* surface = SDL_SetVideoMode(resize.w, resize.h, WINDOW_BITS_PER_PIXEL, video_flags);
  if (surface == nullptr) {
    std::fprintf(stderr, "Could not get a surface after resize: %s\n", SDL_GetError());
    input.quit_code = 1;
    return;
  }
  screen_surface = surface;
  resize_viewport(resize.w, resize.h);
  input.full_frame_wanted = true;
}

void handle_activation(const SDL_ActiveEvent& active) {
  // Back from an icon: the window shows whatever its buffers held.
  if (active.gain != 0 && (active.state & SDL_APPACTIVE) != 0) input.full_frame_wanted = true;
}

void handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      handle_key(event.key);
      break;
    case SDL_MOUSEMOTION:
      handle_mouse_motion(event);
      break;
    case SDL_MOUSEBUTTONDOWN:
      handle_mouse_press(event);
      break;
    case SDL_MOUSEBUTTONUP:
      handle_mouse_release(event);
      break;
    case SDL_VIDEORESIZE:
      handle_resize(event.resize);
      break;
    case SDL_VIDEOEXPOSE:
      input.full_frame_wanted = true;
      break;
    case SDL_ACTIVEEVENT:
      handle_activation(event.active);
      break;
    case SDL_QUIT:
      // Closing the window ends the program like ESC.
      input.quit_code = 0;
      break;
    default:
      break;
  }
}
}  // namespace

int32_t poll_input() {
  dirty_list.clear();
  if (SDL_PollEvent(&current_event) == 0) return 0;
  handle(current_event);
  return 1;
}
