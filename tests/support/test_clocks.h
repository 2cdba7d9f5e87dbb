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

// `count` pulses from `first` whose every interval is a period changed by up
// to `jitter`: a clock that wanders off any straight line, as a jittery
// clock source's does.
inline std::vector<clock_message> wandering_pulses(double bpm, double first, int count,
                                                   double jitter) {
  std::mt19937 random(15);
  std::uniform_real_distribution<double> change(-jitter, jitter);
  std::vector<clock_message> pulses{{0, clock_message_kind::start}};
  for (double frame = first; int(pulses.size()) <= count;
       frame += (1 + change(random)) * pulse_period(bpm))
    pulses.push_back({uint64_t(std::llround(frame))});
  return pulses;
}

}  // namespace zem_test
