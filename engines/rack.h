#pragma once
// RACK: the five instruments of the workstation, built in their start-up
// order: TB808, TB303, OSC, TB303, TB808. Each construction takes the next
// number from `instrument_counter`, so in a process that builds nothing else
// first they are instruments 0 to 4; the rack does not touch the counter, and
// `find_by_number` goes by the numbers the instruments actually hold.
//
// The rack also renders the five together, summed with saturation to 16 bits
// by the same mixing code as the audio layer. Used by the offline renderer,
// the benchmarks and the stress test; the program itself gives each
// instrument a stream of its own.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "instrument.h"
#include "osc.h"
#include "tb303.h"
#include "tb808.h"

class RACK {
 public:
  static constexpr int instrument_count = 5;
  // Frames rendered per instrument at a time by `render_mixed`.
  static constexpr int block_frames = 1024;

  RACK();

  // By position in the construction order (0 to 4).
  INSTRUMENT& instrument(int position) { return *order_[position]; }
  const std::array<INSTRUMENT*, instrument_count>& instruments() const { return order_; }
  // The instrument that holds this instrument number, or nullptr.
  INSTRUMENT* find_by_number(int32_t number) const;

  TB808& first_drum() { return *first_drum_; }
  TB303& first_bass() { return *first_bass_; }
  OSC& oscillators() { return *oscillators_; }
  TB303& second_bass() { return *second_bass_; }
  TB808& second_drum() { return *second_drum_; }

  // Renders `frames` stereo frames of every instrument and writes their
  // saturated sum to `out` (2 * frames samples). Allocates nothing.
  void render_mixed(int16_t* out, int64_t frames);

 private:
  std::unique_ptr<TB808> first_drum_;
  std::unique_ptr<TB303> first_bass_;
  std::unique_ptr<OSC> oscillators_;
  std::unique_ptr<TB303> second_bass_;
  std::unique_ptr<TB808> second_drum_;
  std::array<INSTRUMENT*, instrument_count> order_{};
  std::array<std::vector<int16_t>, instrument_count> blocks_;  // one block per instrument
};
