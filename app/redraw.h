#pragma once
// Pictures of the rack. The window is double-buffered and the back buffer's
// content is undefined after a swap, so the last presented picture is kept in
// a texture that survives the swap: a frame draws it back, draws the panels
// that changed over it, keeps the result and presents it. Every presented
// frame thus shows all five panels as they are now, and a knob drag redraws
// one panel only. A frame in which only step lights moved draws the panels
// over the areas of those lights alone and, where GL can, presents only
// those areas: the back buffer then still holds the picture on the screen.

// The first picture of start-up: every panel drawn once, no events consumed.
void draw_first_picture();

// One frame after input or a move of the sequencers: the panels in
// dirty_list consume their widget events and are drawn, in dirty_list order,
// over the kept picture (a panel whose step alone moved, only over the area
// of its lights, live_panels.h).
// With `whole`, every panel is drawn afresh on a cleared buffer (after an
// expose, a restore, a resize or a switch to or from full screen).
void redraw_rack(bool whole);
