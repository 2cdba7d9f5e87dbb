// Step events reach the main thread as SDL user events: code 1 for a pass end,
// 0 for a step, the text as first data pointer and null as second.
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "sdl_step_events.h"
#include "step_events.h"

namespace {
TEST(AppSdlStepEvents, EventsPostedOnAnotherThreadArriveAsUserEvents) {
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  install_sdl_step_event_poster();
  std::thread audio([] {
    post_pass_end_event(1, 5);
    post_step_event(2, 0);
  });
  audio.join();

  SDL_Event event;
  struct expected {
    int code;
    const char* text;
  };
  for (const expected& e : {expected{1, "1_BEEP_5"}, expected{0, "2_BEEP_0"}}) {
    bool found = false;
    while (!found && SDL_PollEvent(&event)) {
      if (event.type != SDL_USEREVENT) continue;
      found = true;
      EXPECT_EQ(event.user.code, e.code);
      ASSERT_NE(event.user.data1, nullptr);
      EXPECT_STREQ(static_cast<const char*>(event.user.data1), e.text);
      EXPECT_EQ(event.user.data2, nullptr);
      std::free(event.user.data1);
    }
    EXPECT_TRUE(found) << e.text;
  }
  set_step_event_poster(nullptr);
  SDL_Quit();
}

TEST(AppSdlStepEvents, PushFailsWithoutSdlSoTheCallerKeepsTheText) {
  char text[step_event_text_size] = "0_BEEP_1";
  EXPECT_FALSE(push_sdl_step_event(0, text));
}
}  // namespace
