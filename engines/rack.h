#pragma once
// engine_rack: the members of the rack (rack_members.h) as plain engines,
// without panels, built in construction order. Each construction takes the
// next number from `instrument_counter`, so in a process that builds nothing
// else first they are instruments 0, 1, 2, ...; the rack does not touch the
// counter, and `find_by_number` goes by the numbers the instruments actually
// hold.
//
// The rack also renders its members together, summed with saturation to 16
// bits by the same mixing code as the audio layer, with the same block
// listeners called at the same frames as live, so that what zem-render writes
// is what the program plays. Used by the offline renderer, the benchmarks and
// the stress test; the program itself gives each instrument a stream of its
// own.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "block_listener.h"
#include "instrument.h"
#include "osc.h"
#include "rack_members.h"
#include "tb303.h"
#include "tb808.h"

class engine_rack {
 public:
  // Frames rendered per instrument at a time by `render_mixed`: the rack's
  // blocks, as live.
  static constexpr int block_frames = rack_block_frames;

  engine_rack();

  // By position in the construction order, from 0.
  INSTRUMENT& instrument(int position) { return *order_[position]; }
  const std::array<INSTRUMENT*, instrument_count>& instruments() const { return order_; }
  // The instrument that holds this instrument number, or nullptr.
  INSTRUMENT* find_by_number(int32_t number) const;

  // The members by kind, each kind counted in construction order.
  TB808& first_drum() { return dynamic_cast<TB808&>(nth_of_kind(instrument_kind::tb808, 0)); }
  TB303& first_bass() { return dynamic_cast<TB303&>(nth_of_kind(instrument_kind::tb303, 0)); }
  OSC& oscillators() { return dynamic_cast<OSC&>(nth_of_kind(instrument_kind::osc, 0)); }
  TB303& second_bass() { return dynamic_cast<TB303&>(nth_of_kind(instrument_kind::tb303, 1)); }
  TB808& second_drum() { return dynamic_cast<TB808&>(nth_of_kind(instrument_kind::tb808, 1)); }

  // Renders `frames` stereo frames of every instrument and writes their
  // saturated sum to `out` (2 * frames samples). Allocates nothing. Frames
  // are counted on from one call to the next: each block starts at a multiple
  // of block_frames, with before_block, and a call that ends inside a block
  // renders exactly the frames asked for, calling after_block for that piece.
  void render_mixed(int16_t* out, int64_t frames);

  // Called around every block from the next one on.
  block_listener_list& listeners() { return listeners_; }

 private:
  // The member of that kind after `skipped` others of it; throws
  // std::out_of_range when the rack holds no such member.
  INSTRUMENT& nth_of_kind(instrument_kind kind, int skipped);

  std::array<std::unique_ptr<INSTRUMENT>, instrument_count> members_;
  std::array<INSTRUMENT*, instrument_count> order_{};
  std::array<std::vector<int16_t>, instrument_count> blocks_;  // one block per instrument
  block_listener_list listeners_;
  uint64_t next_frame_ = 0;  // frames rendered so far
};
