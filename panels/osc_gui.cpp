#include "osc_gui.h"

#include <GL/gl.h>

#include "event_pass.h"
#include "knob_table.h"
#include "layout_reader.h"
#include "name_keys.h"
#include "switch_table.h"

OSC_GUI::OSC_GUI(const char* name, int32_t x, int32_t y, int32_t panel_number)
    : INSTRUMENT_GUI(name, x, y, panel_number) {
  load_layout();
}

int32_t OSC_GUI::load_layout() {
  INSTRUMENT_GUI::load_layout();
  read_rc_file(*this, "RC/OSC.RC", engine_name, instrument_number);
  return 1;
}

namespace {

// One oscillator's waveform button.
struct waveform_button {
  const char* key;
  shared_int OSC::*wave;
};

const waveform_button waveforms[] = {
    {"BUTTON_TOGGLE_OSC_1_TYPE", &OSC::osc1_wave},
    {"BUTTON_TOGGLE_OSC_2_TYPE", &OSC::osc2_wave},
    {"BUTTON_TOGGLE_OSC_3_TYPE", &OSC::osc3_wave},
};

// Waveform numbers cycle 1, 2, 3, 1, ...; the oscillator switches toggle
// between 0 and 1 and show it on their check box.
void release_button(OSC_GUI& panel, SPRITE& button) {
  for (const waveform_button& w : waveforms) {
    if (!has_key(button.control_name, w.key)) continue;
    shared_int& wave = panel.*w.wave;
    wave = wave >= 3 ? 1 : wave + 1;
  }
  for (const switch_button& s : switch_table()) {
    if (s.panel == knob_panel::osc && has_key(button.control_name, s.key))
      toggle_switch_button(s, panel, 0, button);
  }
}

// Note knobs "SLD_<step>_NOTE", then the factor and offset knob of every
// oscillator that the name names.
void handle_action(OSC_GUI& panel, const widget_event& record) {
  SPRITE& widget = *record.target;
  const char* name = widget.control_name;
  using enum knob_panel;
  if (has_key(name, "SLD") && has_key(name, "NOTE")) {
    const int step = digit_at(name, 4);
    if (step >= 0) step_knob(*find_knob(osc, "SLD_%1d_NOTE"), panel, step, record.action, widget);
  }
  for (const char* knob_group : {"FACTOR", "OFFSET"}) {
    if (!has_key(name, knob_group)) continue;
    for (const char* oscillator : {"OSC1", "OSC2", "OSC3"}) {
      if (!has_key(name, oscillator)) continue;
      char key[32];
      std::snprintf(key, sizeof key, "SLD_%s_%s", oscillator, knob_group);
      step_knob(*find_knob(osc, key), panel, 0, record.action, widget);
    }
  }
}

void handle_record(OSC_GUI& panel, const widget_event& record) {
  if (record.kind == 0) {
    handle_action(panel, record);
  } else if (is_button_release(record)) {
    release_button(panel, *record.target);
  }
}

}  // namespace

int32_t OSC_GUI::process_events() {
  INSTRUMENT_GUI::process_events();
  drain_queued_events(*this, [this](const widget_event& record) { handle_record(*this, record); });
  return 1;
}

void OSC_GUI::show_state() {
  INSTRUMENT_GUI::show_state();
  show_knob_values(*this, knob_panel::osc);
  show_switch_buttons(*this, knob_panel::osc);
}

int32_t OSC_GUI::update_view() {
  glColor3ub(255, 255, 255);
  INSTRUMENT_GUI::update_view();
  draw_knob_readouts(*this, knob_panel::osc);
  return 1;
}
