#pragma once
// The step clock that every engine runs at the end of each frame, and safe
// access to the pattern memory.
//
// Each engine composes these pieces in its own order at a step boundary:
//   if (count_frame(i)) {                   // the step has ended
//     if (pass_has_ended(i)) { ...advance_chained_pattern(i), post the pass end,
//                              i.current_step = 0; }
//     take_queued_pattern(i); wrap_current_pattern(i); reload_filter(i); ...
//   }
// A restart of the rack (rack_clock.h) does the same, with the pass ended by
// `place_sequencer` instead of by the step clock, and no chain advance.
//
// Keeping the sequencer inside the pattern memory. The sequencer fields can hold
// anything: a pattern queued or chained past 254, values loaded from a file,
// a step count changed while a pass runs. The policy:
//   - reads: an entry outside the 255 x 255 memory (pattern or step below 0 or
//     above 254) reads as an empty step (0), never outside the array;
//   - patterns: at a step boundary a current pattern outside 0..254 goes back to
//     0, as it does on reaching `pattern_count` (so a chain run from pattern 254
//     reports 255 at the end of its pass and then plays pattern 0);
//   - steps: a pass ends when `current_step` reaches `step_count`, or when it
//     leaves 0..254 (a step count above 255, a step count lowered below the step
//     being played, or a step position loaded from a file): a pass never runs
//     past the memory, and no counter runs on without end;
//   - counters never overflow: the increments of `step_sample_counter`,
//     `current_step` and `current_pattern` cannot wrap past the 32-bit range.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "instrument.h"
#include "shared_field.h"

constexpr int32_t pattern_memory_patterns = 255;
constexpr int32_t pattern_memory_steps = 255;

template <typename T>
using pattern_memory_of = shared_field<T>[pattern_memory_patterns][pattern_memory_steps];
template <typename T>
using step_row_of = shared_field<T>[pattern_memory_steps];

inline bool inside_pattern_memory(int32_t index) {
  return index >= 0 && index < pattern_memory_steps;
}

// Entry (pattern, step) of a 255 x 255 pattern memory; 0 outside it.
template <typename T>
T read_pattern_memory(const pattern_memory_of<T>& memory, int32_t pattern, int32_t step) {
  if (!inside_pattern_memory(pattern) || !inside_pattern_memory(step)) return T{};
  return memory[pattern][step];
}

// Entry `step` of a single row of 255 steps; 0 outside it.
template <typename T>
T read_step_row(const step_row_of<T>& row, int32_t step) {
  if (!inside_pattern_memory(step)) return T{};
  return row[step];
}

// x + 1 without signed overflow (the largest value stays where it is).
inline int32_t saturating_increment(int32_t x) {
  return x == std::numeric_limits<int32_t>::max() ? x : x + 1;
}

// Counts one frame of the current step. When the counter, taken as a float,
// passes `samples_per_step` the step ends: the counter restarts at 0,
// `current_step` moves on and the result is true.
inline bool count_frame(INSTRUMENT& i) {
  const int32_t counter = i.step_sample_counter;
  const bool counter_full = counter == std::numeric_limits<int32_t>::max();
  const int32_t next = saturating_increment(counter);
  if (!counter_full && !(static_cast<float>(next) > static_cast<float>(i.samples_per_step))) {
    i.step_sample_counter = next;
    return false;
  }
  i.step_sample_counter = 0;
  i.current_step = saturating_increment(i.current_step);
  return true;
}

// After `count_frame` returned true: has the pass through the pattern ended?
inline bool pass_has_ended(const INSTRUMENT& i) {
  const int32_t step = i.current_step;
  return step >= i.step_count || !inside_pattern_memory(step);
}

// With the chain on, the pattern moves on by one.
inline void advance_chained_pattern(INSTRUMENT& i) {
  if (i.chain_switch != 0) i.current_pattern = saturating_increment(i.current_pattern);
}

// A queued pattern (not 0) becomes the current one; queued_pattern_zero
// brings back pattern 0.
inline void take_queued_pattern(INSTRUMENT& i) {
  const int32_t queued = i.queued_pattern;
  if (queued == 0) return;
  i.current_pattern = queued == queued_pattern_zero ? 0 : queued;
  i.queued_pattern = 0;
}

// The current pattern goes back to 0 on reaching `pattern_count` or outside
// the memory.
inline void wrap_current_pattern(INSTRUMENT& i) {
  const int32_t pattern = i.current_pattern;
  if (pattern == i.pattern_count || !inside_pattern_memory(pattern)) i.current_pattern = 0;
}

// The sequencer at `step` of the pass (modulo a step count kept inside the
// memory), at the first frame of that step.
inline void place_sequencer(INSTRUMENT& i, int32_t step) {
  const int32_t count = std::clamp<int32_t>(i.step_count, 1, pattern_memory_steps);
  i.current_step = (step % count + count) % count;
  i.step_sample_counter = 0;
}
