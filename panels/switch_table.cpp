#include "switch_table.h"

#include <cstring>

#include "osc_gui.h"
#include "sequencer.h"
#include "tb808_gui.h"

namespace {

template <auto field>
shared_int* instrument_switch(INSTRUMENT_GUI& panel, int32_t) {
  return &(panel.*field);
}

template <std::unique_ptr<LFO> INSTRUMENT::*lfo>
shared_int* lfo_switch(INSTRUMENT_GUI& panel, int32_t) {
  return &(panel.*lfo)->on;
}

template <auto field>
shared_int* osc_switch(INSTRUMENT_GUI& panel, int32_t) {
  return &(static_cast<OSC_GUI&>(panel).*field);
}

// A drum step of the playing pattern; none while the pattern lies outside
// the memory (from a pattern file).
shared_int* drum_step(INSTRUMENT_GUI& panel, int32_t step) {
  auto& drums = static_cast<TB808_GUI&>(panel);
  const int32_t pattern = drums.current_pattern;
  if (!inside_pattern_memory(pattern) || !inside_pattern_memory(step)) return nullptr;
  return &drums.pattern_memory[pattern][step];
}

using enum knob_panel;
using I = INSTRUMENT;

constexpr const char* check_on = "CHK_2_ON";
constexpr const char* check_off = "CHK_2_OFF";

// The generic switches in the order in which the generic pass tries them.
const switch_button all_switches[] = {
    {generic, "BUTTON_TOGGLE_POWER", 0, instrument_switch<&I::power_switch>, check_on, check_off},
    {generic, "BUTTON_TOGGLE_FILTER", 0, instrument_switch<&I::filter_switch>, check_on, check_off},
    {generic, "BUTTON_TOGGLE_ENVELOPPE", 0, instrument_switch<&I::envelope_switch>, check_on,
     check_off},
    {generic, "BUTTON_TOGGLE_DISTORT", 0, instrument_switch<&I::distortion_switch>, check_on,
     check_off},
    {generic, "BUTTON_TOGGLE_NOISE", 0, instrument_switch<&I::noise_switch>, check_on, check_off},
    {generic, "BUTTON_TOGGLE_LFO_ENVELOPPE", 0, lfo_switch<&I::envelope_lfo>, check_on, check_off},
    {generic, "BUTTON_TOGGLE_LFO_FILTER", 0, lfo_switch<&I::filter_lfo>, check_on, check_off},
    {tb808, "BUTTON_TOGGLE_SEQ_%1d", 8, drum_step, "CHK_1_ON", "CHK_1_OFF"},
    {osc, "BUTTON_TOGGLE_OSC1", 0, osc_switch<&OSC::osc1_on>, check_on, check_off},
    {osc, "BUTTON_TOGGLE_OSC2", 0, osc_switch<&OSC::osc2_on>, check_on, check_off},
    {osc, "BUTTON_TOGGLE_OSC3", 0, osc_switch<&OSC::osc3_on>, check_on, check_off},
};

void show(const switch_button& s, int32_t state, SPRITE* widget) {
  if (widget != nullptr) widget->set_name(state == 1 ? s.on_picture : s.off_picture);
}

}  // namespace

std::span<const switch_button> switch_table() {
  return all_switches;
}

const switch_button* find_switch(knob_panel panel, const char* key) {
  for (const switch_button& s : all_switches) {
    if (s.panel == panel && std::strcmp(s.key, key) == 0) return &s;
  }
  return nullptr;
}

bool has_switch_key(const char* name, const char* key) {
  constexpr const char suffix[] = "_INSTRUMENT_";
  const std::size_t length = std::strlen(key);
  for (const char* at = std::strstr(name, key); at != nullptr; at = std::strstr(at + 1, key)) {
    if (std::strncmp(at + length, suffix, sizeof suffix - 1) == 0) return true;
  }
  return false;
}

int32_t toggle_switch_button(const switch_button& s, INSTRUMENT_GUI& panel, int32_t step,
                             SPRITE& widget) {
  shared_int* field = s.field(panel, step);
  if (field == nullptr) return -1;
  *field = *field == 1 ? 0 : 1;
  show(s, *field, &widget);
  return *field;
}

void set_switch_button(const switch_button& s, INSTRUMENT_GUI& panel, int32_t step, bool on,
                       SPRITE* widget) {
  shared_int* field = s.field(panel, step);
  if (field == nullptr) return;
  *field = on ? 1 : 0;
  show(s, *field, widget);
}

void show_switch_buttons(INSTRUMENT_GUI& panel, knob_panel which) {
  for (const switch_button& s : all_switches) {
    if (s.panel != which || s.count != 0) continue;
    for (SPRITE* item : panel.items)
      if (has_switch_key(item->control_name, s.key)) show(s, *s.field(panel, 0), item);
  }
}
