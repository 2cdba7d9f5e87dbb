#include "jack_midi_ports.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cstdlib>
#include <span>
#include <thread>

#include "fsound.h"
#include "midi_input_routing.h"
#include "midi_inputs.h"
#include "rack_control.h"

// The rings are the program's; taking them here, on the main thread, makes
// them before any process thread can reach them.
jack_midi_ports::jack_midi_ports(cycle_timing timing)
    : timing_(timing), clock_in_(program_clock_input()), clock_out_(program_clock_output()) {}

jack_midi_ports::~jack_midi_ports() {
  if (open()) unregister_midi_input(control_);
}

bool jack_midi_ports::client_opened(jack_client_t* client) {
  client_ = client;
  in_ = jack_port_register(client, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  out_ = jack_port_register(client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  if (in_ == nullptr || out_ == nullptr) {
    for (jack_port_t* port : {in_, out_})
      if (port != nullptr) jack_port_unregister(client, port);
    in_ = out_ = nullptr;
    return false;
  }
  register_midi_input(control_);
  open_.store(true, std::memory_order_release);
  return true;
}

void jack_midi_ports::client_closing(jack_client_t* client) {
  // The client is deactivated: no cycle runs any more.
  unregister_midi_input(control_);
  jack_port_unregister(client, in_);
  jack_port_unregister(client, out_);
  in_ = out_ = nullptr;
  open_.store(false, std::memory_order_release);
}

// In a client of its own the rack frame runs on JACK's clock, a fixed way
// behind the mixer's next block: events reach the ring before they are due
// and go out as evenly spaced as they were planned. Should the two clocks
// drift apart by more than that way, the cycle takes up the mixer's again.
uint64_t jack_midi_ports::cycle_rack_frame() {
  if (timing_ == cycle_timing::with_the_mix) return fsound_next_rack_frame();
  constexpr int64_t behind_the_mix = 4096;
  const int64_t jack_frame = jack_last_frame_time(client_);
  const int64_t wanted = static_cast<int64_t>(fsound_rack_frame_estimate()) - behind_the_mix;
  if (std::abs(jack_frame + own_cycle_offset_ - wanted) > behind_the_mix)
    own_cycle_offset_ = wanted - jack_frame;
  return static_cast<uint64_t>(std::max<int64_t>(0, jack_frame + own_cycle_offset_));
}

void jack_midi_ports::before_mix(jack_nframes_t frames) {
  cycle_frame_ = cycle_rack_frame();
  read_input(frames);
}

void jack_midi_ports::after_mix(jack_nframes_t frames) {
  write_clock(frames);
}

// Clock messages before the mix, so that the rack's clock takes those of
// this cycle before the blocks they fall in.
void jack_midi_ports::read_input(jack_nframes_t frames) {
  void* buffer = jack_port_get_buffer(in_, frames);
  const sync_source followed = program_sync_source();
  const jack_nframes_t count = jack_midi_get_event_count(buffer);
  for (jack_nframes_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, buffer, i) == 0)
      route_midi_input(std::span<const uint8_t>(event.buffer, event.size),
                       cycle_frame_ + event.time, followed, clock_in_, control_);
  }
}

// Events due in this cycle at their offsets. JACK wants them in order of
// time: a late one goes at the first frame. Once asked for what is left,
// the cycle sends the transport's bytes (the final Stop) and drops the
// pulses not yet due, which the receivers have not been owed yet.
void jack_midi_ports::write_clock(jack_nframes_t frames) {
  void* buffer = jack_port_get_buffer(out_, frames);
  jack_midi_clear_buffer(buffer);
  const bool all = send_all_.load(std::memory_order_acquire);
  const uint64_t end = cycle_frame_ + frames;
  clock_out_event event;
  jack_nframes_t at = 0;
  while (clock_out_.take_before(all ? UINT64_MAX : end, event)) {
    if (event.frame >= end && event.byte == midi_clock_byte) continue;
    const uint64_t offset = event.frame > cycle_frame_ ? event.frame - cycle_frame_ : 0;
    at = std::max(at, static_cast<jack_nframes_t>(std::min<uint64_t>(offset, frames - 1)));
    jack_midi_event_write(buffer, at, &event.byte, 1);
  }
  if (all) sent_all_.store(true, std::memory_order_release);
}

bool jack_midi_ports::send_remaining(std::chrono::milliseconds timeout) {
  if (!open()) return false;
  send_all_.store(true, std::memory_order_release);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!sent_all_.load(std::memory_order_acquire)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
