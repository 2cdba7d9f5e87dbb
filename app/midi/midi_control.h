#pragma once
// MIDI control of the panels, on the main thread: Control Change messages
// move the knobs and switches bound to them, Program Change 0 to 7 on
// channels 1 to 5 queues pattern 1 to 8 of panel 1 to 5 (from the top) as
// its pattern button would, and Ctrl+click binds a control to the next
// controller that moves (Ctrl+right-click unbinds it). Every change reaches
// the instruments as a drag or a click does: through the panel's fields,
// written on the main thread, and the panel is redrawn. The bindings are kept
// in the bindings file (bindings_file.h) and saved whenever they change.
#include <SDL.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "midi_bindings.h"

// Start-up: reads the bindings file. A bad line is reported on the console
// with its number and skipped; the others are kept.
void start_midi_control();

// One turn of the main loop: takes up to midi_messages_per_turn messages
// from the MIDI inputs and acts on them. Returns how many it took.
constexpr int32_t midi_messages_per_turn = 64;
int32_t handle_midi_input();

// A button press of the pointer at (pointer_x, pointer_y). With Ctrl held, a
// left press on a control arms it for learning (or disarms it when it was
// armed), a right press unbinds it; true then, and the press is taken.
// Anything else is left to the pointer's usual handling.
bool take_midi_learn_click(Uint8 button);

// The bindings in their text form, for a session to keep.
std::string midi_bindings_text();
// Replaces the bindings with those of a text (from a session) and returns its
// bad lines, which are skipped. The bindings file is written at the next
// change made by learning, not by this, and keeps the lines of its own that
// could not be read.
std::vector<binding_error> restore_midi_bindings(std::string_view text);
