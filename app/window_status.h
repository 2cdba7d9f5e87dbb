#pragma once
// What the window tells beside the panels: the open session, the tempo and
// its sync source, a recording in progress, the MIDI ports. Each feature sets
// its own part; the parts are shown together in the caption, in the order of
// `status_part`, and a part left empty takes no room. Main thread only.
#include <string>

enum class status_part { session, tempo, sync, recording, midi, count };

void set_status_part(status_part part, std::string text);
const std::string& status_part_text(status_part part);

// The status line the caption shows: the parts that are not empty, joined.
std::string status_line();
