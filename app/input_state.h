#pragma once
// The process-wide state of the input loop (main thread only). The pointer
// position itself is pointer_x, pointer_y of the widget toolkit.
#include <cstdint>

class SPRITE;

struct input_state {
  // Window position of the last left press; a knob drag puts the pointer back there.
  int32_t press_x = 0;
  int32_t press_y = 0;
  // The widget that got "TOUCH_IN" and not yet "TOUCH_OUT", and its panel (-1: none).
  SPRITE* hovered_widget = nullptr;
  int32_t hovered_panel = -1;
  // The widget taken by the press that started the current drag, and its panel.
  SPRITE* grabbed_widget = nullptr;
  int32_t grabbed_panel = -1;
  // The kind of drag in progress: a left press starts a knob drag, a right
  // press a widget move; any release ends it.
  int32_t slider_drag = 0;
  int32_t move_drag = 0;
  // Pointer position of the last step of a widget move, printed when it ends.
  int32_t last_move_x = 0;
  int32_t last_move_y = 0;
  // The event asks for a whole new frame even if it marked no panel (an
  // expose, a restore, a resize, a switch to or from full screen).
  bool full_frame_wanted = false;
  // The exit code asked for by ESC, closing the window or a failed resize; -1: none.
  int32_t quit_code = -1;
};

extern input_state input;
