#pragma once
// The MIDI inputs that the main loop reads: each input owns a midi_ring that
// its own thread fills, and registers it here. Every turn the main loop takes
// a bounded number of messages from all of them, after the window's event,
// so that neither a flood of MIDI nor of window events starves the other.
//
// Registration and draining happen on the main thread only; an input
// unregisters its ring before it destroys it, once its thread has stopped
// pushing.
#include <cstdint>

#include "midi_message.h"

void register_midi_input(midi_ring& ring);
void unregister_midi_input(midi_ring& ring);

// Takes up to `limit` messages, in turns from each registered ring (oldest
// first within a ring), and hands each to `handle`. Returns how many it took.
int32_t drain_midi_inputs(int32_t limit, void (*handle)(const midi_message& message));
