#include "sdl_step_events.h"

#include <SDL/SDL.h>

#include "step_events.h"

bool push_sdl_step_event(int32_t code, char* text) {
  SDL_Event event{};
  event.type = SDL_USEREVENT;
  event.user.code = code;
  event.user.data1 = text;
  event.user.data2 = nullptr;
  return SDL_PushEvent(&event) == 0;
}

void install_sdl_step_event_poster() {
  set_step_event_poster(push_sdl_step_event);
}
