#pragma once
// A transport (JACK's: rolling or stopped, a position, perhaps the bar, beat
// and tempo of a timebase master) turned into the messages of a MIDI clock,
// so that the rack follows it with the same clock follower as a MIDI clock.
// A pure function of the transport seen at each cycle's start:
//
//   rolls from the song's start   Start, then pulses from pulse 0
//   rolls from elsewhere          Song Position (the next step), Continue,
//                                 then pulses from that step's first pulse
//   jumps while rolling           Song Position, pulses from there on
//   stops                         Stop
//
// Pulses fall on the frames where the transport's position passes whole
// pulses (24 a quarter note) at the master's tempo, or the rack's own when
// no master gives one.
#include <cstdint>
#include <span>

#include "clock_messages.h"

struct transport_state {
  bool rolling = false;
  uint64_t frame = 0;  // the position, in frames of the transport
  // From a timebase master, when there is one.
  bool has_bar_beat = false;
  int32_t bar = 1, beat = 1, tick = 0;  // bar and beat from 1
  double ticks_per_beat = 1920.0;
  double beats_per_bar = 4.0;
  double beat_type = 4.0;  // 4: the beat is a quarter note
  double beats_per_minute = 120.0;
};

class transport_clock {
 public:
  // One cycle of `frames` frames whose first frame is `rack_frame`, with the
  // transport as it stands there and `rack_bpm` for a transport without a
  // master. Writes the cycle's messages to `out`, in frame order, and
  // returns how many; those past its end are lost.
  size_t cycle(const transport_state& state, uint64_t rack_frame, uint32_t frames, double rack_bpm,
               std::span<clock_message> out);

 private:
  bool rolling_ = false;
  int64_t next_pulse_ = 0;  // the song pulse due next while rolling
  double expected_ = 0;     // where the song should stand at the next cycle, in pulses
};
