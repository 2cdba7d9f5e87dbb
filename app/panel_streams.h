#pragma once
// The program's streams carry their panel as user value. The instrument is a
// virtual base of the panel, at an offset that only the panel's type knows, so
// the user value is made from the panel and read back through the panel type,
// both here and nowhere else.
#include "instrument_gui.h"

// The user value of the panel's stream.
void* stream_user_value(INSTRUMENT_GUI* panel);

// The instrument of the panel that a user value made by stream_user_value
// stands for; the reader to install with set_stream_user_reader.
INSTRUMENT* instrument_of_panel(void* user);
