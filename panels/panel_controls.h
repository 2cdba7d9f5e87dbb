#pragma once
// The controls that a MIDI controller can move: every knob with steps of the
// knob table and every switch of the switch table. A control is named as its
// widget is in the layout files ("SLD_3_BASE", "SLD_12_NOTE",
// "BUTTON_TOGGLE_SEQ_5"), so a binding to it stays valid from one run to the
// next, whatever the instrument number that the reader appends.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "knob_table.h"
#include "rack_members.h"
#include "switch_table.h"

struct panel_control {
  const knob* knob_entry = nullptr;  // exactly one of the two is set
  const switch_button* switch_entry = nullptr;
  int32_t step = 0;
};

// The engine whose panel-specific knobs and switches a panel has.
knob_panel engine_of(const INSTRUMENT_GUI& panel);
knob_panel engine_of(instrument_kind kind);

// The control that the name gives on a panel of that engine: its own
// controls first, then the generic ones. None when the name is no control.
std::optional<panel_control> find_control(knob_panel engine, std::string_view name);

// A widget's name as the layout file gives it: its control_name without the
// "_INSTRUMENT_<number>" that the reader appended (unchanged when absent).
std::string layout_name(const char* control_name);

// The panel's widget of that layout name; null when its layout has none.
SPRITE* find_control_widget(const INSTRUMENT_GUI& panel, std::string_view name);

// Moves the control to a controller position (0 to 127): a knob to its value
// on its range, a switch on from 64. The widget shows it as after a drag or
// a click; a control with no widget changes the sound alone.
void move_control(INSTRUMENT_GUI& panel, const panel_control& control, int32_t position,
                  SPRITE* widget);
