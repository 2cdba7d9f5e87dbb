#pragma once
// Clocks for the tests of the rack's clock, stamped on whole frames as a JACK
// client stamps them. Header only; its tests link the engines.
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "clock_messages.h"

namespace zem_test {

// Frames between two pulses at `bpm` (24 pulses a quarter note).
inline double pulse_period(double bpm) {
  return 44100.0 * 60.0 / (bpm * 24.0);
}

// `count` pulses from `first`, each moved by up to `jitter` of a period, with
// `transport` put among them in frame order (first at the same frame).
inline std::vector<clock_message> clock_pulses(double bpm, double first, int count,
                                               double jitter = 0.0,
                                               std::vector<clock_message> transport = {}) {
  std::mt19937 random(14);
  std::uniform_real_distribution<double> offset(-jitter, jitter);
  for (int k = 0; k < count; ++k)
    transport.push_back({uint64_t(std::llround(first + (k + offset(random)) * pulse_period(bpm)))});
  std::stable_sort(
      transport.begin(), transport.end(),
      [](const clock_message& a, const clock_message& b) { return a.frame < b.frame; });
  return transport;
}

}  // namespace zem_test
