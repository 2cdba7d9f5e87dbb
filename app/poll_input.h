#pragma once
// One turn of the input loop: at most one window-system event, taken without
// waiting and turned into widget events on the panels it concerns, which are
// marked in dirty_list. Main thread only.
#include <cstdint>

// Empties dirty_list, then handles one pending event. Returns 1 when an event
// was taken (whatever it was), 0 when none was pending.
int32_t poll_input();
