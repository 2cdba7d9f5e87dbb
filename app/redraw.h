#pragma once
// Pictures of the rack. The window is double-buffered and the back buffer's
// content is undefined after a swap, so every frame is drawn whole: all five
// panels, as they are now, on a cleared buffer.

// The first picture of start-up: every panel drawn once, no events consumed.
void draw_first_picture();

// One frame after an input event: the panels in dirty_list consume their
// widget events (in dirty_list order), then all five panels are drawn and the
// frame is presented.
void redraw_rack();
