#pragma once
// The rack's tempo in beats per minute, as it is heard: one step is a
// sixteenth note, so BPM = 15 * 44100 / samples_per_step. The default step of
// 5512.5 frames is 120 BPM.
//
// Not to be confused with the global `tempo` (133), which is a sound
// parameter of the drum voice's pitch and never changes with the rack's tempo.
#include <algorithm>
#include <cstdint>
#include <limits>

constexpr double rack_default_bpm = 120.0;
constexpr double rack_lowest_bpm = 20.0;
constexpr double rack_highest_bpm = 300.0;

constexpr int steps_per_beat = 4;
constexpr int clock_pulses_per_step = 6;  // MIDI clock: 24 pulses a quarter note

// Frames of 44100 a second per minute of sixteenth notes.
constexpr double step_frames_per_bpm = 44100.0 * 60.0 / steps_per_beat;

// The step length, in frames, that plays `bpm`, and back.
constexpr double step_frames_of_bpm(double bpm) {
  return step_frames_per_bpm / bpm;
}
constexpr double bpm_of_step_frames(double frames) {
  return step_frames_per_bpm / frames;
}

// A tempo inside the rack's range.
constexpr double clamp_bpm(double bpm) {
  return std::clamp(bpm, rack_lowest_bpm, rack_highest_bpm);
}

// The frames that a step lasts for a `samples_per_step` of the engines: the
// step clock ends the step when its counter passes that value, so a step is
// floor(samples_per_step) + 1 frames long (5513 at the default 5512.5). A
// step of exactly L frames needs a value in [L - 1, L); rack_clock uses L - 0.5.
// The counter stops at the largest 32-bit value, which ends any step.
inline int64_t frames_of_step(float samples_per_step) {
  constexpr double longest = std::numeric_limits<int32_t>::max();
  if (samples_per_step < 0.0f) return 1;
  if (!(samples_per_step < longest)) return static_cast<int64_t>(longest);
  return static_cast<int64_t>(samples_per_step) + 1;
}
constexpr float samples_per_step_for(int64_t frames) {
  return static_cast<float>(static_cast<double>(frames) - 0.5);
}
