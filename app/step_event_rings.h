#pragma once
// The step events of the playing rack on their way to the main thread: one
// preallocated lock-free ring per instrument, filled by the thread that
// renders that instrument and emptied by the main loop. The rendering thread
// neither allocates nor waits: when a ring is full (the main thread has been
// away for minutes), the event is dropped and counted.
#include <cstddef>
#include <cstdint>
#include <span>

#include "instrument.h"
#include "step_events.h"

// Events a ring holds: minutes of the default tempo's steps.
constexpr size_t step_ring_capacity = 4096;

// Main thread, before the streams start: ring i carries the events of
// instruments[i] (at most instrument_count of them), and the engines post
// into the rings from now on. Events of other instrument numbers are dropped.
void install_step_event_rings(std::span<INSTRUMENT* const> instruments);

// Main thread: the oldest waiting event of ring i; false when it is empty.
bool take_step_event(size_t ring, step_event& event);

// Events dropped so far: refused by a full ring, or of an instrument without a ring.
uint64_t dropped_step_events();
