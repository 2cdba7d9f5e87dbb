#include "session_rack_settings.h"

#include <algorithm>
#include <cmath>

namespace {
// A step is a sixteenth note: four steps a beat.
constexpr double frames_per_minute = 60.0 * 44100.0;
constexpr double steps_per_beat = 4.0;
}  // namespace

double session_bpm_of_step(double samples_per_step) {
  const double bpm = frames_per_minute / (steps_per_beat * samples_per_step);
  if (!std::isfinite(bpm) || bpm <= 0) return default_session_bpm;
  return std::clamp(bpm, lowest_session_bpm, highest_session_bpm);
}

void capture_rack_settings(session_rack rack, rack_session& session) {
  session.bpm = session_bpm_of_step(rack[0]->samples_per_step);
}

void apply_rack_settings(const rack_session&, session_rack) {}
