#include "tb808_gui.h"

#include <GL/gl.h>

#include <cstdio>

#include "event_pass.h"
#include "knob_table.h"
#include "layout_reader.h"
#include "name_keys.h"
#include "panel_names.h"
#include "sequencer.h"
#include "switch_table.h"

TB808_GUI::TB808_GUI(const char* name, int32_t x, int32_t y, int32_t panel_number)
    : INSTRUMENT_GUI(name, x, y, panel_number) {
  load_layout();
}

int32_t TB808_GUI::load_layout() {
  INSTRUMENT_GUI::load_layout();
  read_rc_file(*this, "RC/TB808.RC", engine_name, instrument_number);
  return 1;
}

namespace {

const char* step_picture(bool sounds) {
  return sounds ? "CHK_1_ON" : "CHK_1_OFF";
}

// A release on a step button switches that step of the playing pattern. The
// step is the digit after "SEQ_" (0 when there is none); a playing pattern
// outside the memory (from a pattern file) has no step to switch.
void toggle_step(TB808_GUI& panel, SPRITE& button) {
  const int32_t at = position_of(button.control_name, "SEQ");
  if (at == -1) return;
  const int digit = digit_at(button.control_name, static_cast<std::size_t>(at) + 4);
  const int32_t step = digit < 0 ? 0 : digit;
  toggle_switch_button(*find_switch(knob_panel::tb808, "BUTTON_TOGGLE_SEQ_%1d"), panel, step,
                       button);
}

void handle_record(TB808_GUI& panel, const widget_event& record) {
  SPRITE& widget = *record.target;
  if (record.kind != 0) {
    if (is_button_release(record) && has_key(widget.control_name, "BUTTON_TOGGLE_")) {
      toggle_step(panel, widget);
    }
    return;
  }
  // The drum knobs answer to "PARAM1" to "PARAM4" anywhere in the name.
  for (const char* key : {"SLD_PARAM1", "SLD_PARAM2", "SLD_PARAM3", "SLD_PARAM4"}) {
    if (has_key(widget.control_name, key + 4)) {
      step_knob(*find_knob(knob_panel::tb808, key), panel, 0, record.action, widget);
    }
  }
}

}  // namespace

int32_t TB808_GUI::process_events() {
  INSTRUMENT_GUI::process_events();
  drain_queued_events(*this, [this](const widget_event& record) { handle_record(*this, record); });
  return 1;
}

void TB808_GUI::show_state() {
  INSTRUMENT_GUI::show_state();
  show_knob_values(*this, knob_panel::tb808);
}

int32_t TB808_GUI::update_view() {
  glColor3ub(255, 255, 255);
  // The step buttons show the playing pattern before the images are drawn.
  const int32_t pattern = current_pattern;
  for (int step = 0; step < 8; ++step) {
    char key[NAME_FIELD_SIZE];
    std::snprintf(key, sizeof key, "BUTTON_TOGGLE_SEQ_%d", step);
    SPRITE* button = find_companion(key, nullptr, items);
    if (button != nullptr) button->set_name(step_picture(step_sounds(pattern, step)));
  }
  INSTRUMENT_GUI::update_view();
  draw_knob_readouts(*this, knob_panel::tb808);
  return 1;
}
