#pragma once
// Whether the rack has changed between two captures: what the user made
// (settings, patterns, the pattern selected, the tempo, ...), not what the
// engines move by themselves while they play. The autosave writes only after
// a change, so a rack that plays untouched is not written again and again.
#include "session_image.h"

// True when two sessions captured from this rack hold the same settings,
// patterns and rack-wide values, and differ at most in the running state:
// the position within the pattern, the oscillators' phases, the filter's
// motion and the LFOs' positions.
bool same_edits(const rack_session& a, const rack_session& b, session_rack rack);
