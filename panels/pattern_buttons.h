#pragma once
// What a click on a pattern or bank button does, for every way of pressing
// one: the pointer and a MIDI Program Change.
#include "instrument_gui.h"

// A release on the button whose control_name is `name` (it begins with
// "BUTTON_PATTERN_"): queues that pattern of the playing bank, or the first
// pattern of that bank. The button lights once the pattern plays.
void release_pattern_button(INSTRUMENT_GUI& panel, const char* name);
