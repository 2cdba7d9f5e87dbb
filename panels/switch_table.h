#pragma once
// The switch table: every on/off button of every panel, declared once, beside
// the knob table. A click toggles a switch (1 becomes 0, anything else 1); a
// MIDI controller sets it. Either way the field changes on the main thread
// and the button shows its new state. A switch is found by its key, the name
// of its widget in the layout files; a switch that exists once per step (the
// drum steps) has a key with one "%1d" and a count of steps.
#include <cstdint>
#include <span>

#include "knob_table.h"
#include "shared_field.h"

struct switch_button {
  knob_panel panel;
  const char* key;
  int32_t count;  // 0: one switch; otherwise steps 0 to count - 1
  // The field that holds the switch; null when there is none for that step
  // (a pattern outside the memory).
  shared_int* (*field)(INSTRUMENT_GUI& panel, int32_t step);
  const char* on_picture;
  const char* off_picture;
};

std::span<const switch_button> switch_table();

// The single switch of that panel with that key; null when there is none.
const switch_button* find_switch(knob_panel panel, const char* key);

// True when name holds the key of a generic switch followed directly by the
// "_INSTRUMENT_" that the layout reader appends, as the generic pass tests.
bool has_switch_key(const char* name, const char* key);

// Toggles the switch as a click does and shows the result on the widget.
// Returns the new state; -1 when the step has no switch (nothing changed).
int32_t toggle_switch_button(const switch_button& s, INSTRUMENT_GUI& panel, int32_t step,
                             SPRITE& widget);

// Turns the switch on or off and shows it on the widget, when there is one.
void set_switch_button(const switch_button& s, INSTRUMENT_GUI& panel, int32_t step, bool on,
                       SPRITE* widget);

// Shows every single switch of one panel's kind as its field holds it, on
// the widgets that carry its key (after a load, the lights show what plays).
// The drum steps follow the playing pattern in update_view.
void show_switch_buttons(INSTRUMENT_GUI& panel, knob_panel which);
