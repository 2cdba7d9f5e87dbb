#pragma once
// The program's two lists of panels: the five panels in instrument-list order,
// and the panels that the current input event touched. An index into the
// first identifies a panel everywhere. Main thread only.
#include <cstdint>
#include <vector>

#include "panel_rack.h"

// The five panels, filled once at start-up.
extern panel_list instrument_panels;

// Indices of the panels to redraw this turn, each at most once, in the order
// in which they were first marked.
extern std::vector<int32_t> dirty_list;

// Appends the index to dirty_list unless it is already there.
void mark_dirty(int32_t index);

// The index of the first panel whose instrument has this number, or -1.
int32_t find_panel(int32_t number);

// The first widget under the pointer (pointer_x, pointer_y), the panels taken
// in list order; nullptr when there is none.
SPRITE* widget_under_pointer();

// The index of the panel that holds widget_under_pointer, or instrument_count.
int32_t panel_under_pointer();
