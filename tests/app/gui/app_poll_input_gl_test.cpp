// The input loop on real panels in a real window, fed with synthetic SDL
// events: hover across panels, knob drags, widget moves, presses and
// releases, keys, window events, step events, and the main loop's frames.
#include <SDL.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "frame_rate.h"
#include "input_state.h"
#include "live_panels.h"
#include "main_loop.h"
#include "poll_input.h"
#include "step_event_rings.h"
#include "test_rack.h"
#include "video.h"

namespace {
using rack_test::panel_top;

SDL_Event motion(int x, int y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = static_cast<Uint16>(x);
  event.motion.y = static_cast<Uint16>(y);
  return event;
}

SDL_Event button(Uint8 type, Uint8 which, int x, int y) {
  SDL_Event event{};
  event.type = type;
  event.button.button = which;
  event.button.x = static_cast<Uint16>(x);
  event.button.y = static_cast<Uint16>(y);
  return event;
}
SDL_Event press(Uint8 which, int x, int y) {
  return button(SDL_MOUSEBUTTONDOWN, which, x, y);
}
SDL_Event release(Uint8 which, int x, int y) {
  return button(SDL_MOUSEBUTTONUP, which, x, y);
}

SDL_Event key(SDLKey sym) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.sym = sym;
  return event;
}

SDL_Event of_type(Uint8 type) {
  SDL_Event event{};
  event.type = type;
  // A window-system message travels with its message record, which SDL copies
  // (its X11 definition is larger than this needs; its header clashes with
  // the test framework's names).
  alignas(16) static unsigned char message[1024] = {};
  if (type == SDL_SYSWMEVENT) event.syswm.msg = reinterpret_cast<SDL_SysWMmsg*>(message);
  return event;
}

// A panel's queued records, oldest first: "press", "release" or the action.
// Hover records are left out unless asked for: a drag that leaves the
// widget's area or comes back makes them too.
std::vector<std::string> records(int panel, bool with_hover = false) {
  std::vector<std::string> out;
  const widget_event_queue& queue = instrument_panels[panel]->event_queue;
  for (auto record = queue.rbegin(); record != queue.rend(); ++record) {
    if ((*record)->kind == 1)
      out.push_back((*record)->raw_type() == RAW_MOUSE_BUTTON_DOWN ? "press" : "release");
    else if (with_hover || std::strncmp((*record)->action, "TOUCH_", 6) != 0)
      out.emplace_back((*record)->action);
  }
  return out;
}

float on_grid(int value) {
  return static_cast<float>(value - value % 4);
}

SPRITE* item(int panel, const char* name) {
  for (SPRITE* sprite : instrument_panels[panel]->items)
    if (std::strncmp(sprite->control_name, name, std::strlen(name)) == 0) return sprite;
  return nullptr;
}

class PollInput : public rack_test::RackTest {
 protected:
  void SetUp() override {
    ASSERT_NE(instrument_panels[0], nullptr);
    end_drags();
    input = input_state{};
  }
  void TearDown() override {
    end_drags();
    input = input_state{};
  }

  // Handles what the window system still has pending (warps, the pointer of
  // earlier tests), then forgets the records it made.
  static void settle() {
    while (poll_input() != 0) {
    }
    for (INSTRUMENT_GUI* panel : instrument_panels) panel->event_queue.clear();
  }
  // Handles exactly this event, with nothing queued before it.
  static void send(SDL_Event event) {
    settle();
    ASSERT_EQ(SDL_PushEvent(&event), 0);
    ASSERT_EQ(poll_input(), 1);
  }
  static void end_drags() {
    settle();
    send(release(SDL_BUTTON_LEFT, 0, 0));
    settle();
  }
  static int knob_centre_y(int panel) { return panel_top[panel] + rack_test::knob_y; }
};

TEST_F(PollInput, NoPendingEventReturnsZeroWithTheDirtyListEmptied) {
  settle();
  dirty_list = {3, 1};
  EXPECT_EQ(poll_input(), 0);
  EXPECT_TRUE(dirty_list.empty());
}

TEST_F(PollInput, KeysOtherThanEscF1AndF2AndFocusChangesMarkNothing) {
  for (SDL_Event event :
       {key(SDLK_a), key(SDLK_F3), key(SDLK_RETURN), of_type(SDL_KEYUP), of_type(SDL_SYSWMEVENT)}) {
    send(event);
    EXPECT_TRUE(dirty_list.empty()) << int{event.type};
    EXPECT_FALSE(input.full_frame_wanted) << int{event.type};
    EXPECT_EQ(input.quit_code, -1);
  }
}

TEST_F(PollInput, EscapeAndTheWindowsCloseRequestAskForTheOrderlyEndWithCodeZero) {
  for (SDL_Event event : {key(SDLK_ESCAPE), of_type(SDL_QUIT)}) {
    input.quit_code = -1;
    send(event);
    EXPECT_EQ(input.quit_code, 0) << int{event.type};
    EXPECT_TRUE(dirty_list.empty());
  }
}

TEST_F(PollInput, F2PrintsTheLayoutOfEveryPanelInListOrder) {
  testing::internal::CaptureStdout();
  send(key(SDLK_F2));
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(dirty_list.empty());
  const std::regex begins("BEGIN (\\w+)\n");
  std::string order;
  for (auto m = std::sregex_iterator(out.begin(), out.end(), begins); m != std::sregex_iterator();
       ++m)
    order += (*m)[1].str() + " ";
  EXPECT_EQ(order, "TB303 TB808 OSC TB303 TB808 ");
  EXPECT_NE(out.find("\"SLD_1_BASE_INSTRUMENT_1\" \"KNOB\" \"MASK_KNOB\" 100  60  40  40   0 \n"),
            std::string::npos)
      << out;
}

TEST_F(PollInput, HoverFollowsThePointerAcrossPanels) {
  // Panel 1 ("303_1") is at the top, panel 0 ("808_1") below it.
  send(motion(100, knob_centre_y(1)));
  EXPECT_EQ(records(1, true), std::vector<std::string>{"TOUCH_IN"});
  EXPECT_EQ(dirty_list, std::vector<int32_t>{1});
  EXPECT_EQ(item(1, "SLD_1_BASE")->touched, 1);
  EXPECT_EQ(input.hovered_panel, 1);

  send(motion(103, knob_centre_y(1) + 2));  // within the same knob
  EXPECT_TRUE(records(1, true).empty());
  EXPECT_TRUE(dirty_list.empty());

  send(motion(100, knob_centre_y(0)));
  EXPECT_EQ(records(1, true), std::vector<std::string>{"TOUCH_OUT"});
  EXPECT_EQ(records(0, true), std::vector<std::string>{"TOUCH_IN"});
  EXPECT_EQ(dirty_list, (std::vector<int32_t>{1, 0}));  // the one left first

  send(motion(700, panel_top[0] + 100));  // the background is never picked
  EXPECT_EQ(records(0, true), std::vector<std::string>{"TOUCH_OUT"});
  EXPECT_EQ(dirty_list, std::vector<int32_t>{0});
  EXPECT_EQ(input.hovered_widget, nullptr);
  EXPECT_EQ(input.hovered_panel, -1);
}

TEST_F(PollInput, KnobDragMakesOneStepPerPixelFromThePressPoint) {
  const int y = knob_centre_y(0);
  testing::internal::CaptureStdout();
  send(press(SDL_BUTTON_LEFT, 100, y));
  const std::string clicked = testing::internal::GetCapturedStdout();
  SPRITE* knob = item(0, "SLD_1_BASE");
  EXPECT_TRUE(std::regex_match(
      clicked,
      std::regex(
          "Cliqu\xe9 L objet 0x[0-9a-f]+ instru 0 \\[SLD_1_BASE_INSTRUMENT_1\\]\\[KNOB\\]\n")))
      << clicked;
  EXPECT_EQ(records(0), std::vector<std::string>{"press"});
  EXPECT_EQ(knob->pressed, 1);
  EXPECT_EQ(dirty_list, std::vector<int32_t>{0});

  send(motion(100, y - 5));
  EXPECT_EQ(records(0), std::vector<std::string>(5, "SLD_UP"));
  EXPECT_EQ(dirty_list, std::vector<int32_t>{0});
  // Measured from the press point again, whatever came back from the warp.
  send(motion(100, y + 3));
  EXPECT_EQ(records(0), std::vector<std::string>(3, "SLD_DOWN"));

  send(release(SDL_BUTTON_LEFT, 100, y + 3));
  EXPECT_EQ(records(0), std::vector<std::string>{"release"});
  EXPECT_EQ(knob->pressed, 0);
  EXPECT_EQ(input.grabbed_widget, nullptr);
  EXPECT_EQ(input.slider_drag, 0);
}

TEST_F(PollInput, TheWarpPutsThePointerBackAtThePressPoint) {
  const int y = knob_centre_y(3);
  send(press(SDL_BUTTON_LEFT, 100, y));
  send(motion(100, y - 20));
  int x = -1, at_y = -1;
  for (int i = 0; i < 500 && (x != 100 || at_y != y); ++i) {
    SDL_PumpEvents();
    SDL_GetMouseState(&x, &at_y);
    SDL_Delay(10);
  }
  EXPECT_EQ(x, 100);
  EXPECT_EQ(at_y, y);
}

TEST_F(PollInput, LeftDragOfAWidgetThatIsNotAKnobQueuesOnlyThePressAndTheRelease) {
  const int y = panel_top[2] + rack_test::button_y;
  send(press(SDL_BUTTON_LEFT, rack_test::pattern_button_x, y));
  send(motion(rack_test::pattern_button_x, y - 7));
  send(release(SDL_BUTTON_LEFT, rack_test::pattern_button_x, y - 7));
  // The release record stands alone: the earlier records were settled away.
  EXPECT_EQ(records(2), std::vector<std::string>{"release"});
}

TEST_F(PollInput, RightDragMovesTheWidgetOnTheFourPixelGridAndPrintsItsPlace) {
  SPRITE* knob = item(1, "SLD_1_BASE");
  send(press(SDL_BUTTON_RIGHT, 100, knob_centre_y(1)));
  EXPECT_EQ(records(1), std::vector<std::string>{"press"});
  EXPECT_EQ(knob->pressed, 0);  // only the left button holds a knob
  testing::internal::CaptureStdout();
  send(motion(103, 57));
  const std::string moving = testing::internal::GetCapturedStdout();
  EXPECT_EQ(knob->x, 100.0f);
  EXPECT_EQ(knob->y, 56.0f);
  EXPECT_EQ(dirty_list, std::vector<int32_t>{1});
  EXPECT_TRUE(
      std::regex_match(moving, std::regex("Moving out c pas objet 0x[0-9a-f]+ instru -?[0-9] "
                                          "\\[SLD_1_BASE_INSTRUMENT_0\\]\\[KNOB\\]\n")))
      << moving;
  testing::internal::CaptureStdout();
  send(release(SDL_BUTTON_RIGHT, 103, 57));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Placed on 103  57 \n");
  EXPECT_TRUE(records(1).empty());
  EXPECT_TRUE(dirty_list.empty());
  knob->set_position(rack_test::knob_x, rack_test::knob_y, 0);
}

// A press on no widget ends with its release, so that a later right-drag only
// moves and a later left-drag only turns.
TEST_F(PollInput, EveryReleaseEndsTheDragEvenWithoutAWidget) {
  SPRITE* knob = item(3, "SLD_1_BASE");
  const int y = knob_centre_y(3);
  send(press(SDL_BUTTON_LEFT, 700, y + 40));  // the background
  send(release(SDL_BUTTON_LEFT, 700, y + 40));
  EXPECT_EQ(input.slider_drag, 0);

  send(press(SDL_BUTTON_RIGHT, 100, y));
  send(motion(100, y - 20));
  EXPECT_TRUE(records(3).empty()) << "the move also turned the knob";
  EXPECT_EQ(knob->y, on_grid(y - 20));
  send(release(SDL_BUTTON_RIGHT, 100, y - 20));
  EXPECT_EQ(input.move_drag, 0);

  send(press(SDL_BUTTON_LEFT, 100, y - 20));
  send(motion(100, y - 22));
  EXPECT_EQ(records(3), std::vector<std::string>(2, "SLD_UP"));
  EXPECT_EQ(knob->y, on_grid(y - 20)) << "the turn also moved the knob";
  knob->set_position(rack_test::knob_x, static_cast<float>(y), 0);
}

TEST_F(PollInput, ASecondButtonDuringADragNeitherTakesAnotherWidgetNorEndsTheFirst) {
  SPRITE* knob = item(0, "SLD_1_BASE");
  const int y = knob_centre_y(0);
  send(press(SDL_BUTTON_LEFT, 100, y));
  send(press(SDL_BUTTON_RIGHT, rack_test::pattern_button_x, panel_top[1] + rack_test::button_y));
  EXPECT_TRUE(records(1).empty());
  EXPECT_EQ(input.grabbed_widget, knob);
  send(motion(100, y - 1));
  EXPECT_EQ(records(0), std::vector<std::string>{"SLD_UP"});
  EXPECT_EQ(knob->y, static_cast<float>(y));
  send(release(SDL_BUTTON_RIGHT, 100, y - 1));
  EXPECT_EQ(records(0), std::vector<std::string>{"release"});
  EXPECT_EQ(knob->pressed, 0);
}

TEST_F(PollInput, MiddleButtonChangesNothing) {
  send(press(SDL_BUTTON_MIDDLE, 100, knob_centre_y(0)));
  EXPECT_TRUE(records(0).empty());
  EXPECT_EQ(input.grabbed_widget, nullptr);
  send(release(SDL_BUTTON_MIDDLE, 100, knob_centre_y(0)));
  EXPECT_TRUE(dirty_list.empty());
}

// Pass-end events, posted by the engines into the rings, light the pattern on
// the panel whose instrument has the number; of several, the last one shows.
TEST_F(PollInput, PassEndEventsShowThePatternOnThePanelFoundByInstrumentNumber) {
  struct step_case {
    std::vector<std::array<int32_t, 3>> events;  // code, instrument, number
    int panel;                                   // the panel marked, or -1
    const char* lit_button;                      // the pattern or bank button lit on it
  };
  const step_case cases[] = {
      {{{1, 1, 1}}, 0, "BUTTON_PATTERN_2_"},  // instrument 1 is "808_1", index 0
      {{{1, 0, 0}}, 1, "BUTTON_PATTERN_1_"},
      {{{1, 4, 1}}, 4, "BUTTON_PATTERN_2_"},
      {{{1, 2, 8}}, 2, "BUTTON_PATTERN_12_"},  // pattern 8: bank button 2
      {{{1, 3, 12}}, 3, "BUTTON_PATTERN_12_"},
      {{{1, 3, 12}, {1, 3, 104}, {0, 3, 1}}, 3, "BUTTON_PATTERN_1_"},
      {{{0, 1, 3}}, -1, nullptr},  // a step event changes nothing
      {{{1, 7, 1}}, -1, nullptr},  // no instrument 7
  };
  const uint64_t dropped = dropped_step_events();
  for (const step_case& c : cases) {
    for (INSTRUMENT_GUI* panel : instrument_panels) panel->show_pattern(31);  // lights nothing here
    settle();
    for (const auto& [code, instrument, number] : c.events)
      (code == 1 ? post_pass_end_event : post_step_event)(instrument, number);
    take_step_events();
    const std::string label = std::to_string(c.events.back()[1]);
    if (c.panel < 0) {
      EXPECT_TRUE(dirty_list.empty()) << label;
      continue;
    }
    EXPECT_EQ(dirty_list, std::vector<int32_t>{c.panel}) << label;
    EXPECT_STREQ(item(c.panel, c.lit_button)->name, "BUTTON_PATTERN_ON") << label;
  }
  EXPECT_EQ(dropped_step_events(), dropped + 1);  // the event of instrument 7
}

TEST_F(PollInput, WindowEventsAskForAWholeFrame) {
  send(of_type(SDL_VIDEOEXPOSE));
  EXPECT_TRUE(input.full_frame_wanted);
  input.full_frame_wanted = false;

  SDL_Event restored = of_type(SDL_ACTIVEEVENT);
  restored.active.gain = 1;
  restored.active.state = SDL_APPACTIVE;
  send(restored);
  EXPECT_TRUE(input.full_frame_wanted);
  input.full_frame_wanted = false;

  SDL_Event resize = of_type(SDL_VIDEORESIZE);
  resize.resize.w = 900;
  resize.resize.h = 700;
  send(resize);
  EXPECT_TRUE(input.full_frame_wanted);
  ASSERT_NE(screen_surface, nullptr);
  EXPECT_EQ(screen_surface->w, 900);
  EXPECT_EQ(screen_surface->h, 700);
  // The panels stay in their 800 x 625 projection, stretched over the window:
  // the pointer is measured in its units.
  send(motion(100 * 900 / 800 + 1, knob_centre_y(1) * 700 / 625 + 1));
  EXPECT_EQ(records(1, true), std::vector<std::string>{"TOUCH_IN"});

  resize.resize.w = WINDOW_WIDTH;
  resize.resize.h = WINDOW_HEIGHT;
  send(resize);
  EXPECT_EQ(screen_surface->w, WINDOW_WIDTH);
}

// The main loop presents one frame for the events waiting at once that
// touched panels, none for events that touched none, and ends with the code
// that ESC asked for.
TEST_F(PollInput, MainLoopPresentsAFrameOnlyForEventsThatTouchAPanel) {
  struct loop_case {
    std::vector<SDL_Event> events;
    int frames;
  };
  const loop_case cases[] = {
      {{key(SDLK_a), key(SDLK_F2), of_type(SDL_SYSWMEVENT)}, 0},
      {{motion(100, knob_centre_y(2)), motion(101, knob_centre_y(2))}, 1},
      {{motion(100, knob_centre_y(3)), motion(100, knob_centre_y(4))}, 1},
      {{of_type(SDL_VIDEOEXPOSE)}, 1},
  };
  for (const loop_case& c : cases) {
    settle();
    testing::internal::CaptureStdout();
    const int32_t before = frame_count;
    for (SDL_Event event : c.events) ASSERT_EQ(SDL_PushEvent(&event), 0);
    SDL_Event escape = key(SDLK_ESCAPE);
    ASSERT_EQ(SDL_PushEvent(&escape), 0);
    input.quit_code = -1;
    EXPECT_EQ(run_main_loop(), 0);
    testing::internal::GetCapturedStdout();
    // The caption report may have started a new count meanwhile.
    if (frame_count >= before) {
      EXPECT_EQ(frame_count - before, c.frames);
    }
    EXPECT_TRUE(instrument_panels[2]->event_queue.empty()) << "the marked panel consumed nothing";
  }
}
}  // namespace
