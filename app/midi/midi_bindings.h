#pragma once
// The MIDI bindings: which controller (a Control Change number on a channel)
// moves which control of which panel, and their text form, one binding a
// line, as the bindings file and a session keep them:
//
//   channel 1 cc 74 -> panel 2 SLD_3_BASE
//
// Channels count from 1 to 16 and panels from 1 (the top one) to 5; the
// control is the widget's name in the layout files. Blank lines and lines
// that begin with "#" say nothing. docs/midi-bindings.md has the details.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "panel_controls.h"

struct midi_binding {
  int32_t channel;     // 1 to 16
  int32_t controller;  // 0 to 127
  int32_t panel;       // 1 to 5: the instrument number + 1
  std::string control;
  panel_control target;  // what the control name stands for on that panel
};

// A line of a bindings text that could not be read: where, why, and the
// line as it was.
struct binding_error {
  int32_t line;  // from 1
  std::string message;
  std::string text;
};

struct parsed_bindings {
  std::vector<midi_binding> bindings;
  std::vector<binding_error> errors;
};

// Adds the binding. A controller moves one control and a control follows one
// controller: a binding of the same controller or the same control goes.
void add_binding(std::vector<midi_binding>& bindings, midi_binding binding);

// Removes the binding of that control; false when it had none.
bool remove_binding(std::vector<midi_binding>& bindings, int32_t panel, std::string_view control);

// The control that a name gives on panel 1 to 5; none when the panel number
// is out of range or its instrument has no such control.
std::optional<panel_control> control_of_panel(int32_t panel, std::string_view control);

// One line per binding, by channel and controller, each ended by "\n".
std::string format_bindings(const std::vector<midi_binding>& bindings);
std::string format_binding(const midi_binding& binding);

// Reads a bindings text: the bindings of its good lines (a later line for
// the same controller or control replaces an earlier one) and an error for
// each bad line, which is skipped.
parsed_bindings parse_bindings(std::string_view text);
