#pragma once
// One incoming MIDI message, as a MIDI input's thread hands it to the main
// loop: through an spsc_ring, which neither allocates nor waits, so the
// thread that reads the port (a JACK process callback, the RtMidi thread)
// never blocks. Only channel messages of up to three bytes travel this way;
// longer ones (system exclusive) are not passed on.
#include <cstddef>
#include <cstdint>

#include "spsc_ring.h"

struct midi_message {
  // The message's place in the rack's timeline, in frames, where the input
  // knows it; 0 otherwise.
  uint32_t frame;
  uint8_t size;  // bytes used, 1 to 3
  uint8_t bytes[3];
};

// Room for a burst of about a second from a busy controller, well above what
// the main loop takes in a turn.
constexpr std::size_t midi_ring_capacity = 1024;
using midi_ring = spsc_ring<midi_message, midi_ring_capacity>;
