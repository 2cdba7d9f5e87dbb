#pragma once
// The knob table: every knob of every panel, declared once. The event passes
// look a knob up here to step its value and turn it; update_view reads the
// same entries to print the value next to a held knob. A knob is found by its
// key, the name that the read-outs search for with find_companion; a knob
// that exists once per step (the note knobs) has a key with one "%1d" and a
// count of steps. Each knob also declares the range that a MIDI controller
// sweeps it over.
#include <cstdint>
#include <span>

class INSTRUMENT_GUI;
class SPRITE;

// Which panel class owns the fields a knob edits: generic knobs work on the
// INSTRUMENT of any panel, the others on their engine.
enum class knob_panel { generic, tb303, tb808, osc };

// Where and when a value is printed next to its widget.
enum class readout_place {
  held,         // large, right of the widget, while it is pressed
  note_hover,   // large, left of the widget, while it is pressed or touched
  note_always,  // always: large while pressed, small otherwise
};

// The knob's angle after a step: trunc(value * scale + offset) worked in
// double, or, for an integer value with a divisor, value / divisor + offset
// in integer division.
struct angle_rule {
  double scale;
  double offset;
  int32_t divisor;
};

// The values that a controller's positions 0 and 127 give the knob, and
// linearly in between. The note knobs count in note numbers on the tempered
// scale (note 69 is 440 Hz) and store the note's frequency.
struct knob_range {
  double low;
  double high;
  bool in_notes = false;
};

struct knob {
  knob_panel panel;
  const char* key;
  int32_t count;  // 0: one knob; otherwise steps 0 to count - 1
  double (*value)(const INSTRUMENT_GUI& panel, int32_t step);
  // The "DOWN" and "UP" steps; null for a widget that only shows a value.
  void (*down)(INSTRUMENT_GUI& panel, int32_t step);
  void (*up)(INSTRUMENT_GUI& panel, int32_t step);
  // Stores a value in the field that the steps edit; null with the steps.
  void (*set)(INSTRUMENT_GUI& panel, int32_t step, double value);
  angle_rule angle;
  const char* format;  // read-out, printf-style
  bool integral;       // an int field, printed as an int
  readout_place place;
  knob_range range;  // meaningful for a knob with steps
};

// All knobs, each panel's in the order its read-outs are drawn.
std::span<const knob> knob_table();

// The single knob of that panel with that key; null when there is none.
const knob* find_knob(knob_panel panel, const char* key);

// The angle that the rule gives for a value.
int32_t knob_angle(const knob& k, double value);

// Applies the "DOWN" step when action contains "DOWN", then the "UP" step
// when it contains "UP", turning the widget after each step. Returns true
// when a step was made.
bool step_knob(const knob& k, INSTRUMENT_GUI& panel, int32_t step, const char* action,
               SPRITE& widget);

// The highest position of a MIDI controller; 0 is the lowest.
constexpr int32_t highest_controller_position = 127;

// The value that controller position `position` (0 to 127) gives the knob,
// in the unit of its field (hertz for note knobs).
double knob_value_at(const knob& k, int32_t position);

// Moves a knob with steps to the value of a controller position, through the
// field that its steps edit, and turns the widget (when there is one) as a
// step would.
void set_knob(const knob& k, INSTRUMENT_GUI& panel, int32_t step, int32_t position, SPRITE* widget);

// Turns each of one panel's knobs to the angle of its value, as a step on
// it would: after a load, the knobs show what plays.
void show_knob_values(INSTRUMENT_GUI& panel, knob_panel which);

// Prints the read-outs of one panel's knobs, in table order. Needs the GL
// context and the fonts.
void draw_knob_readouts(INSTRUMENT_GUI& panel, knob_panel which);
