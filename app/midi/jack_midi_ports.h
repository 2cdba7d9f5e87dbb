#pragma once
// zem's MIDI ports on JACK, "midi_in" and "midi_out", as a process hook: in
// zem's own client beside the sound, or in a client of their own when the
// sound goes elsewhere (jack_midi_client.h).
//
//   midi_in   channel messages (Control Change, Program Change, ...) go to a
//             midi_ring that the main loop drains; the clock's messages
//             (pulses, Start, Continue, Stop, Song Position) go to the rack
//             clock's input ring, stamped with the rack frame at which they
//             were played. While the rack follows JACK transport, the
//             transport feeds that ring and the MIDI clock is left out.
//   midi_out  the rack's clock, each event at its frame.
//
// Beside the sound the cycle's rack frame is the mixer's own, so the clock
// lands on the exact frames of the sound. In a client of its own the cycle
// runs on JACK's clock beside another output's: the rack frame then follows
// JACK's frames a fixed 4096 frames (93 ms) behind the mixer, so that the
// clock keeps its even spacing but is neither sample-locked to the sound nor
// heard at the same moment.
#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <cstdint>

#include "clock_rings.h"
#include "jack_process_hooks.h"
#include "midi_message.h"

class jack_midi_ports : public jack_process_hook {
 public:
  enum class cycle_timing { with_the_mix, own_cycle };
  explicit jack_midi_ports(cycle_timing timing);
  ~jack_midi_ports() override;
  jack_midi_ports(const jack_midi_ports&) = delete;
  jack_midi_ports& operator=(const jack_midi_ports&) = delete;

  bool client_opened(jack_client_t* client) override;
  void before_mix(jack_nframes_t frames) override;
  void after_mix(jack_nframes_t frames) override;
  void client_closing(jack_client_t* client) override;

  // Main thread: true while the ports are open in a running client.
  bool open() const { return open_.load(std::memory_order_acquire); }
  // Main thread, once the rack's clock has sent its last event (the Stop
  // owed at the end): the next cycle sends what is due and the Stop, late
  // ones at its first frame. Waits for that cycle at most `timeout`; false when no
  // cycle came.
  bool send_remaining(std::chrono::milliseconds timeout);

 private:
  uint64_t cycle_rack_frame();
  void read_input(jack_nframes_t frames);
  void write_clock(jack_nframes_t frames);

  const cycle_timing timing_;
  clock_input_ring& clock_in_;
  clock_output_ring& clock_out_;
  midi_ring control_;  // drained by the main loop
  jack_client_t* client_ = nullptr;
  jack_port_t* in_ = nullptr;
  jack_port_t* out_ = nullptr;
  std::atomic<bool> open_{false};
  std::atomic<bool> send_all_{false};
  std::atomic<bool> sent_all_{false};
  // Process thread only: the rack frame of this cycle's first frame.
  uint64_t cycle_frame_ = 0;
  int64_t own_cycle_offset_ = 0;  // rack frame - JACK frame, in a client of its own
};
