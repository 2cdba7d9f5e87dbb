#pragma once
// The panels follow the playing rack. The step events come through the rings
// (step_event_rings.h); each display frame the panels whose sequencer moved
// are marked for redrawing, and a panel about to be drawn takes its step
// lights, pattern buttons and counter from its sequencer. The five sequencers
// step together, so their changes go out in one frame; a panel whose step
// alone moved needs only the area of its two step lights drawn again.
// Main thread only.
#include <cstdint>
#include <optional>

// Display frames per second: the sequencers are looked at this often.
constexpr int display_frames_per_second = 60;

// Takes every step event waiting on the rings and does what a pass-end event
// does: the panel of its instrument shows the pattern and is drawn again
// (marked dirty here when the pattern differs from what it shows; otherwise
// by mark_moved_sequencers, for the step that moved with the pass end).
// Step events themselves change nothing on the screen.
void take_step_events();

// Marks the panels whose step, pattern or pattern count differ from what they
// show. A panel not drawn yet is left alone: the first picture shows it.
void mark_moved_sequencers();

// An area of the 800 x 625 projection (y down).
struct view_area {
  float left, top, right, bottom;
};

// For a panel about to be drawn: the area that needs drawing when only its
// step moved since it was last drawn (and nothing else marked it), or
// nothing when the whole panel must be drawn. Asked once per drawing.
std::optional<view_area> take_moved_area(int32_t index);

// Before panel `index` is drawn: its step lights and pattern buttons show its
// sequencer from now on, as it was when the panel was marked for moving, or
// as it is now.
void show_playing_state(int32_t index);
