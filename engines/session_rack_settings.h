#pragma once
// Where the rack-wide part of a session (its tempo, sync source and MIDI
// bindings) meets the rack, in one place.
//
// The rack has no clock and no MIDI bindings of its own yet. So a captured
// session takes its tempo from the first member's step length (every member's
// image holds its own), and keeps the sync source and the bindings that it
// already holds: those of the session last opened, or internal and none. An
// opened session's tempo is in its members' images already. When the rack's
// clock, sync source and bindings exist, these two functions take them
// from and give them to the rack. Both run where the session handoff runs
// its transfers, on the rendering thread between two blocks: they must
// neither allocate nor lock (the bindings, a text, are best taken by the
// caller once the load has returned).
#include "session_image.h"

// The tempo of a step of `samples_per_step` frames, within the range a
// session file holds; the default tempo for a step length that has none.
double session_bpm_of_step(double samples_per_step);

// After capture_session: the rack-wide settings into `session`.
void capture_rack_settings(session_rack rack, rack_session& session);

// After apply_session: the session's rack-wide settings to the rack.
void apply_rack_settings(const rack_session& session, session_rack rack);
