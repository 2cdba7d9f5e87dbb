#include "tb303_gui.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "event_pass.h"
#include "knob_table.h"
#include "layout_reader.h"
#include "name_keys.h"
#include "panel_names.h"
#include "truncation.h"

TB303_GUI::TB303_GUI(const char* name, int32_t x, int32_t y, int32_t panel_number)
    : INSTRUMENT_GUI(name, x, y, panel_number) {
  load_layout();
}

int32_t TB303_GUI::load_layout() {
  INSTRUMENT_GUI::load_layout();
  read_rc_file(*this, "RC/TB303.RC", engine_name, instrument_number);
  return 1;
}

namespace {

// The display's picture of each waveform kind, from 1.
const char* const wave_pictures[] = {"DISP_SIN", "DISP_SAW", "DISP_TRI", "DISP_SQR"};

// The display shows the waveform that plays: a kind above 4 plays as 1.
// A kind below 1 (from a pattern file) keeps the display as it is.
void show_wave_kind(TB303_GUI& panel) {
  const int32_t kind = panel.wave_kind;
  SPRITE* display = find_companion("DISP_", "", panel.items);
  if (display != nullptr && kind >= 1) display->set_name(wave_pictures[kind > 4 ? 0 : kind - 1]);
}

// The waveform steps 1, 2, 3, 4, 1, ... A kind below 1 moves on by one until
// it reaches a kind that has a picture.
void step_wave_kind(TB303_GUI& panel) {
  const int32_t kind = panel.wave_kind;
  panel.wave_kind = kind >= 4 ? 1 : kind + 1;
  show_wave_kind(panel);
}

// A knob name "SLD_" followed by the step number, one or two digits.
int32_t note_step(const char* name) {
  char digits[3] = {};
  if (std::strlen(name) > 4) {
    digits[0] = name[4];
    digits[1] = name[5];
  }
  return std::atoi(digits);
}

void handle_action(TB303_GUI& panel, const widget_event& record) {
  SPRITE& widget = *record.target;
  const char* name = widget.control_name;
  if (!has_key(name, "SLD")) return;
  using enum knob_panel;
  if (has_key(name, "NOTE")) {
    step_knob(*find_knob(tb303, "SLD_%1d_NOTE"), panel, note_step(name), record.action, widget);
    return;
  }
  // Each of the wave-parameter keys that the name holds, in turn.
  for (const char* key : {"SLD_PARAM1", "SLD_PARAM2"}) {
    if (has_key(name, key + 4)) step_knob(*find_knob(tb303, key), panel, 0, record.action, widget);
  }
}

void handle_record(TB303_GUI& panel, const widget_event& record) {
  if (record.kind == 0) {
    handle_action(panel, record);
    return;
  }
  if (!is_button_release(record)) return;
  const char* name = record.target->control_name;
  if (has_key(name, "BUTTON_TOGGLE_OSC_TYPE") || has_key(name, "DISP_")) step_wave_kind(panel);
}

}  // namespace

int32_t TB303_GUI::process_events() {
  INSTRUMENT_GUI::process_events();
  drain_queued_events(*this, [this](const widget_event& record) { handle_record(*this, record); });
  return 1;
}

void TB303_GUI::show_state() {
  INSTRUMENT_GUI::show_state();
  show_knob_values(*this, knob_panel::tb303);
  show_wave_kind(*this);
}

int32_t TB303_GUI::update_view() {
  glColor3ub(255, 255, 255);
  INSTRUMENT_GUI::update_view();
  draw_knob_readouts(*this, knob_panel::tb303);
  // The note knobs follow the playing pattern, which may have changed.
  const int32_t pattern = current_pattern;
  for (int32_t step = 0; step < 16; ++step) {
    char name[NAME_FIELD_SIZE];
    std::snprintf(name, sizeof name, "SLD_%d_NOTE_INSTRUMENT_%d", static_cast<int>(step),
                  static_cast<int>(instrument_number));
    SPRITE* slider = find_named(name, items);
    if (slider != nullptr) slider->angle = truncate_to_int32(step_frequency(pattern, step));
  }
  return 1;
}
