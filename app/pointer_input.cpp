#include "pointer_input.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "input_state.h"
#include "midi_control.h"
#include "panel_lists.h"
#include "video.h"
#include "widget_event.h"

namespace {
constexpr int32_t press_kind = 1;   // a button press or release, no action text
constexpr int32_t action_kind = 0;  // an action text
constexpr int32_t grid = 4;         // widget moves snap to this many pixels

void queue_on(int32_t panel, int32_t kind, const SDL_Event& raw, const char* action,
              SPRITE* target) {
  queue_event(*instrument_panels[panel],
              std::make_unique<widget_event>(kind, &raw, action, target));
  mark_dirty(panel);
}

// Window pixels to the units of the panels' fixed 800 x 625 projection, which
// is stretched over the whole window once it has been resized.
int32_t to_projection(int32_t value, int32_t window_size, int32_t projection_size) {
  if (window_size <= 0 || window_size == projection_size) return value;
  return static_cast<int32_t>(static_cast<int64_t>(value) * projection_size / window_size);
}

void set_pointer(int32_t x, int32_t y) {
  const int32_t width = screen_surface != nullptr ? screen_surface->w : WINDOW_WIDTH;
  const int32_t height = screen_surface != nullptr ? screen_surface->h : WINDOW_HEIGHT;
  pointer_x = to_projection(x, width, WINDOW_WIDTH);
  pointer_y = to_projection(y, height, WINDOW_HEIGHT);
}

void release_hover(const SDL_Event& event) {
  queue_on(input.hovered_panel, action_kind, event, "TOUCH_OUT", input.hovered_widget);
  input.hovered_widget = nullptr;
  input.hovered_panel = -1;
}

void update_hover(const SDL_Event& event) {
  SPRITE* widget = widget_under_pointer();
  if (widget == input.hovered_widget) return;
  if (input.hovered_widget != nullptr) release_hover(event);
  if (widget == nullptr) return;
  input.hovered_panel = panel_under_pointer();
  widget->touched = 1;
  queue_on(input.hovered_panel, action_kind, event, "TOUCH_IN", widget);
  input.hovered_widget = widget;
}

// One step per pixel of vertical travel from the press point, and the pointer
// goes back there, so that the travel is unlimited. The warp comes back as a
// motion to the press point, which makes no step.
void step_slider(const SDL_Event& event) {
  SPRITE* knob = input.grabbed_widget;
  if (!input.slider_drag || knob == nullptr || std::strstr(knob->control_name, "SLD_") == nullptr)
    return;
  const int32_t travel = input.press_y - event.motion.y;
  if (travel == 0) return;
  const char* action = travel > 0 ? "SLD_UP" : "SLD_DOWN";
  for (int32_t step = 0; step < std::abs(travel); ++step)
    queue_on(input.grabbed_panel, action_kind, event, action, knob);
  SDL_WarpMouse(static_cast<Uint16>(input.press_x), static_cast<Uint16>(input.press_y));
}

void step_move(const SDL_Event&) {
  SPRITE* widget = input.grabbed_widget;
  if (!input.move_drag || widget == nullptr) return;
  widget->set_position(static_cast<float>(pointer_x - pointer_x % grid),
                       static_cast<float>(pointer_y - pointer_y % grid), 0);
  input.last_move_x = pointer_x;
  input.last_move_y = pointer_y;
  std::printf("Moving out c pas objet %p instru %d [%s][%s]\n", static_cast<void*>(widget),
              input.hovered_panel, widget->control_name, widget->name);
  mark_dirty(input.grabbed_panel);
}

void grab(SPRITE* widget, int32_t panel, const SDL_Event& event) {
  input.grabbed_widget = widget;
  input.grabbed_panel = panel;
  queue_on(panel, press_kind, event, nullptr, widget);
}

void start_knob_drag(const SDL_Event& event) {
  input.slider_drag = 1;
  input.move_drag = 0;
  input.press_x = event.button.x;
  input.press_y = event.button.y;
  SPRITE* widget = widget_under_pointer();
  if (widget == nullptr) return;
  const int32_t panel = panel_under_pointer();
  widget->pressed = 1;
  std::printf("Cliqu\xe9 L objet %p instru %d [%s][%s]\n", static_cast<void*>(widget), panel,
              widget->control_name, widget->name);
  grab(widget, panel, event);
}

void start_move(const SDL_Event& event) {
  input.move_drag = 1;
  input.slider_drag = 0;
  SPRITE* widget = widget_under_pointer();
  if (widget != nullptr) grab(widget, panel_under_pointer(), event);
}
}  // namespace

void handle_mouse_motion(const SDL_Event& event) {
  set_pointer(event.motion.x, event.motion.y);
  update_hover(event);
  step_slider(event);
  step_move(event);
}

void handle_mouse_press(const SDL_Event& event) {
  SDL_ShowCursor(SDL_DISABLE);
  // One drag at a time: a second button pressed while a widget is held
  // neither takes another widget nor changes the drag.
  if (input.grabbed_widget != nullptr) return;
  const Uint8 which = event.button.button;
  if (which != SDL_BUTTON_LEFT && which != SDL_BUTTON_RIGHT) return;
  set_pointer(event.button.x, event.button.y);
  // Ctrl+click on a control: MIDI learn takes it instead of a drag.
  if (take_midi_learn_click(which)) return;
  if (which == SDL_BUTTON_LEFT) {
    start_knob_drag(event);
  } else {
    start_move(event);
  }
}

void handle_mouse_release(const SDL_Event& event) {
  SDL_ShowCursor(SDL_ENABLE);
  SPRITE* widget = input.grabbed_widget;
  if (widget != nullptr && input.slider_drag) {
    queue_on(input.grabbed_panel, press_kind, event, nullptr, widget);
    widget->pressed = 0;
    SDL_WarpMouse(static_cast<Uint16>(input.press_x), static_cast<Uint16>(input.press_y));
  }
  if (widget != nullptr && input.move_drag)
    std::printf("Placed on %3d %3d \n", input.last_move_x, input.last_move_y);
  // Any release ends the drag, whether or not its press took a widget.
  input.grabbed_widget = nullptr;
  input.slider_drag = 0;
  input.move_drag = 0;
}
