// A transport turned into clock messages cycle by cycle: where it rolls from
// (Start, or Song Position and Continue), jumps, stops, and the pulses at
// the master's tempo or the rack's own.
#include "transport_clock.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

bool operator==(const clock_message& a, const clock_message& b) {
  return a.frame == b.frame && a.kind == b.kind && a.song_position == b.song_position;
}

namespace {
using kind = clock_message_kind;

// One cycle of 1024 frames: the transport at its start, the messages expected.
struct cycle_case {
  transport_state state;
  uint64_t rack_frame;
  std::vector<clock_message> expected;
};

transport_state rolling_at(uint64_t frame) {
  transport_state state;
  state.rolling = true;
  state.frame = frame;
  return state;
}

transport_state master(double bpm, double beat_type, int32_t beat = 1, int32_t tick = 0) {
  transport_state state = rolling_at(0);
  state.has_bar_beat = true;
  state.beats_per_minute = bpm;
  state.beat_type = beat_type;
  state.beat = beat;
  state.tick = tick;
  return state;
}

TEST(TransportClock, RollsStopsJumpsAndPulsesAtTheTempo) {
  // Without a master the rack's 120 BPM: a pulse every 918.75 frames.
  const std::vector<std::vector<cycle_case>> runs = {
      // From the song's start: Start and pulse 0 at once, then on in step.
      {{rolling_at(0), 1000, {{1000, kind::start}, {1000, kind::pulse}, {1919, kind::pulse}}},
       {rolling_at(1024), 2024, {{2838, kind::pulse}}},
       {{}, 3048, {{3048, kind::stop}}}},
      // From one second in (pulse 48, step 8), and from a little later (the
      // next step, 9, whose first pulse is 4612.5 frames away).
      {{rolling_at(44100),
        0,
        {{0, kind::song_position, 8}, {0, kind::resume}, {0, kind::pulse}, {919, kind::pulse}}}},
      {{rolling_at(45000), 0, {{0, kind::song_position, 9}, {0, kind::resume}}},
       {rolling_at(46024), 1024, {}},
       {rolling_at(47048), 2048, {}},
       {rolling_at(48072), 3072, {}},
       {rolling_at(49096), 4096, {{4613, kind::pulse}}}},
      // A locate while rolling: a song position, and pulses from there.
      {{rolling_at(0), 0, {{0, kind::start}, {0, kind::pulse}, {919, kind::pulse}}},
       {rolling_at(44100),
        1024,
        {{1024, kind::song_position, 8}, {1024, kind::pulse}, {1943, kind::pulse}}}},
      // A master's tempo, in quarter notes: 140 a minute, or 120 eighths (a
      // pulse every 1837.5 frames), followed tick by tick until it jumps a beat.
      {{master(140, 4), 0, {{0, kind::start}, {0, kind::pulse}, {788, kind::pulse}}}},
      {{master(120, 8), 0, {{0, kind::start}, {0, kind::pulse}}},
       {master(120, 8, 1, 89), 1024, {{1839, kind::pulse}}},
       {master(120, 8, 2, 0), 2048, {{2048, kind::song_position, 2}, {2048, kind::pulse}}}},
  };
  for (size_t run = 0; run < runs.size(); ++run) {
    transport_clock clock;
    for (size_t n = 0; n < runs[run].size(); ++n) {
      const cycle_case& c = runs[run][n];
      std::array<clock_message, 16> out;
      const size_t count = clock.cycle(c.state, c.rack_frame, 1024, 120.0, out);
      EXPECT_EQ(std::vector<clock_message>(out.begin(), out.begin() + count), c.expected)
          << "run " << run << " cycle " << n;
    }
  }
}
}  // namespace
