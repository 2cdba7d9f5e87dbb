// The generic event pass: the instrument-wide widgets of every panel. It
// consumes the records it has fully handled (voice-chain knob steps, switches
// turned on) and leaves the others, in their order, for the engine panel.
#include <algorithm>
#include <cstdio>
#include <limits>

#include "event_pass.h"
#include "instrument_gui.h"
#include "knob_table.h"
#include "name_keys.h"
#include "pattern_buttons.h"
#include "program_end.h"
#include "switch_table.h"

// ---- Pattern and bank buttons -----------------------------------------------

// The name begins with "BUTTON_PATTERN_": a digit and "_" make a pattern
// button of the playing bank, two digits ("11" to "14") a bank button.
// Names without digits there queue nothing.
void release_pattern_button(INSTRUMENT_GUI& panel, const char* name) {
  const int first = digit_at(name, 15);
  if (first < 0) return;
  int64_t pattern;
  if (name[16] == '_') {
    pattern = first + (panel.current_pattern / 8) * int64_t{8} - 1;
  } else {
    const int second = digit_at(name, 16);
    if (second < 0) return;
    pattern = (first * 10 + second) * 8 - 88;
  }
  // Only a current pattern near the top of the 32-bit range takes the sum
  // past it; the queued number then stops at the end of the range.
  panel.request_pattern(static_cast<int32_t>(std::clamp<int64_t>(
      pattern, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max())));
}

namespace {

// ---- Switches ----------------------------------------------------------------

// Toggles every generic switch that the name holds and shows the last one's
// state. A switch turned on is done with; one turned off, or a
// "BUTTON_TOGGLE_" button that is no switch, stays for the engine panel.
record_fate release_switch(INSTRUMENT_GUI& panel, SPRITE& widget) {
  constexpr int32_t no_switch = 4;
  int32_t state = no_switch;
  for (const switch_button& s : switch_table()) {
    if (s.panel != knob_panel::generic || !has_switch_key(widget.control_name, s.key)) continue;
    state = toggle_switch_button(s, panel, 0, widget);
  }
  return state == 1 ? record_fate::consumed : record_fate::stays;
}

record_fate handle_button(INSTRUMENT_GUI& panel, const widget_event& record) {
  if (!is_button_release(record)) return record_fate::stays;
  SPRITE& widget = *record.target;
  if (has_key(widget.control_name, "BUTTON_PATTERN_")) {
    release_pattern_button(panel, widget.control_name);
    return record_fate::stays;
  }
  if (has_key(widget.control_name, "BUTTON_TOGGLE_")) return release_switch(panel, widget);
  return record_fate::stays;
}

// ---- Knobs ---------------------------------------------------------------------

// Steps the generic knob whose key is formed from prefix and the digit at
// position index of the name; a digit that names no knob changes nothing.
void step_generic_knob(INSTRUMENT_GUI& panel, const widget_event& record, const char* key_format,
                       std::size_t index) {
  SPRITE& widget = *record.target;
  const int digit = digit_at(widget.control_name, index);
  if (digit < 0) return;
  char key[32];
  std::snprintf(key, sizeof key, key_format, digit);
  if (const knob* k = find_knob(knob_panel::generic, key)) {
    step_knob(*k, panel, 0, record.action, widget);
  }
}

record_fate handle_action(INSTRUMENT_GUI& panel, const widget_event& record) {
  SPRITE& widget = *record.target;
  const char* name = widget.control_name;
  if (has_key(record.action, "TOUCH_IN")) widget.touched = 1;
  if (has_key(record.action, "TOUCH_OUT")) widget.touched = 0;
  if (has_key(name, "SLD_NOISE")) step_generic_knob(panel, record, "SLD_NOISE_%d", 10);
  if (has_key(name, "SLD_LFO")) {
    if (has_key(name, "SLD_LFO_ENVELOPPE")) {
      step_generic_knob(panel, record, "SLD_LFO_ENVELOPPE_%d", 18);
    } else if (has_key(name, "SLD_LFO_FILTER")) {
      step_generic_knob(panel, record, "SLD_LFO_FILTER_%d", 15);
    } else {
      end_program("LFO KIST \n", -1);
    }
  }
  // A step on a voice-chain knob is done with, even when its digit names no
  // knob.
  if (has_key(name, "BASE") && (has_key(record.action, "DOWN") || has_key(record.action, "UP"))) {
    step_generic_knob(panel, record, "SLD_%d_BASE", 4);
    return record_fate::consumed;
  }
  return record_fate::stays;
}

}  // namespace

void INSTRUMENT_GUI::show_state() {
  show_switch_buttons(*this, knob_panel::generic);
  show_knob_values(*this, knob_panel::generic);
}

int32_t INSTRUMENT_GUI::process_events() {
  visit_queued_events(event_queue, [this](const widget_event& record) {
    if (record.target == nullptr) return record_fate::stays;  // about no widget
    return record.kind != 0 ? handle_button(*this, record) : handle_action(*this, record);
  });
  return 1;
}
