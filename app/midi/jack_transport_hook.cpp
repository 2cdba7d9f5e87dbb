#include "jack_transport_hook.h"

#include <jack/transport.h>

#include <array>

#include "fsound.h"
#include "rack_control.h"

namespace {
transport_state state_of(jack_transport_state_t rolling, const jack_position_t& position) {
  transport_state state;
  state.rolling = rolling == JackTransportRolling;
  state.frame = position.frame;
  state.has_bar_beat = (position.valid & JackPositionBBT) != 0;
  if (state.has_bar_beat) {
    state.bar = position.bar;
    state.beat = position.beat;
    state.tick = position.tick;
    state.ticks_per_beat = position.ticks_per_beat;
    state.beats_per_bar = position.beats_per_bar;
    state.beat_type = position.beat_type;
    state.beats_per_minute = position.beats_per_minute;
  }
  return state;
}
}  // namespace

jack_transport_hook::jack_transport_hook() : clock_in_(program_clock_input()) {}

bool jack_transport_hook::client_opened(jack_client_t* client) {
  client_ = client;
  return true;
}

// Before the mix, so that the rack's clock takes this cycle's messages
// before the blocks they fall in. While another source is followed the
// transport counts as stopped, so that taking it up again starts afresh.
void jack_transport_hook::before_mix(jack_nframes_t frames) {
  jack_position_t position;
  const jack_transport_state_t rolling = jack_transport_query(client_, &position);
  const bool followed = program_sync_source() == sync_source::jack_transport;
  transport_state state = state_of(rolling, position);
  state.rolling = state.rolling && followed;
  std::array<clock_message, 64> messages;
  const size_t count =
      clock_.cycle(state, fsound_next_rack_frame(), frames, program_rack_bpm(), messages);
  for (size_t i = 0; i < count; ++i) clock_in_.push(messages[i]);
}
