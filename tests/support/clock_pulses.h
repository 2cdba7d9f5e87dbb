#pragma once
// Synthetic clocks for the tests of the rack's clock: pulses at a tempo from
// a frame, moved by jitter from a fixed seed and stamped on whole frames as a
// JACK client stamps them, with transport messages put among them. Header
// only; the tests that use it link the engines.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "clock_messages.h"

namespace zem_test {

// Frames between two pulses at `bpm` (24 pulses a quarter note).
inline double pulse_period(double bpm) {
  return 44100.0 * 60.0 / (bpm * 24.0);
}

// `count` pulses at `bpm`, the first at `first`; each moved by up to `jitter`
// of a period either way.
inline std::vector<clock_message> clock_pulses(double bpm, double first, int count,
                                               double jitter = 0.0, unsigned seed = 14) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> offset(-jitter, jitter);
  std::vector<clock_message> pulses;
  for (int k = 0; k < count; ++k) {
    const double at = first + k * pulse_period(bpm) + offset(random) * pulse_period(bpm);
    pulses.push_back({static_cast<uint64_t>(std::llround(std::max(0.0, at)))});
  }
  return pulses;
}

// The messages of both lists in frame order; at the same frame, those of
// `transport` first.
inline std::vector<clock_message> merged(std::vector<clock_message> transport,
                                         const std::vector<clock_message>& pulses) {
  transport.insert(transport.end(), pulses.begin(), pulses.end());
  std::stable_sort(
      transport.begin(), transport.end(),
      [](const clock_message& a, const clock_message& b) { return a.frame < b.frame; });
  return transport;
}

}  // namespace zem_test
