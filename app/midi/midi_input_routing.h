#pragma once
// Where a message that arrives on a MIDI input goes, whichever port it came
// in by: the clock's messages to the rack clock's input ring (unless the
// rack follows JACK transport, which then feeds that ring alone), channel
// messages to the input's own ring for the main loop, anything else nowhere.
// Called on the input's thread: it neither allocates nor waits.
#include <cstdint>
#include <span>

#include "clock_rings.h"
#include "midi_message.h"
#include "session_image.h"

enum class midi_input_route { clock, control, none };

midi_input_route route_midi_input(std::span<const uint8_t> bytes, uint64_t frame,
                                  sync_source followed, clock_input_ring& clock,
                                  midi_ring& control);
