#include "midi_input_routing.h"

#include <algorithm>

midi_input_route route_midi_input(std::span<const uint8_t> bytes, uint64_t frame,
                                  sync_source followed, clock_input_ring& clock,
                                  midi_ring& control) {
  clock_message message;
  if (read_midi_clock_message(bytes, frame, message)) {
    if (followed == sync_source::jack_transport) return midi_input_route::none;
    clock.push(message);
    return midi_input_route::clock;
  }
  const bool channel_message =
      !bytes.empty() && bytes.size() <= 3 && bytes[0] >= 0x80 && bytes[0] < 0xF0;
  if (!channel_message) return midi_input_route::none;
  // The main loop knows frames within its ring's reach only; the low bits do.
  midi_message passed{static_cast<uint32_t>(frame), static_cast<uint8_t>(bytes.size()), {}};
  std::copy(bytes.begin(), bytes.end(), passed.bytes);
  control.push(passed);
  return midi_input_route::control;
}
