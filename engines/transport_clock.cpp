#include "transport_clock.h"

#include <algorithm>
#include <cmath>

#include "rack_tempo.h"

namespace {
constexpr double pulses_per_quarter = 24.0;
constexpr double frames_per_second = 44100.0;
// A position further than this from where the last cycle left the song is
// a jump (a locate), not the drift of a master's rounding.
constexpr double jump_pulses = 1.0;

double quarter_notes_per_beat(const transport_state& state) {
  return state.beat_type > 0.0 ? 4.0 / state.beat_type : 1.0;
}

// The tempo in quarter notes a minute.
double quarter_bpm(const transport_state& state, double rack_bpm) {
  if (!state.has_bar_beat || !(state.beats_per_minute > 0.0)) return rack_bpm;
  return state.beats_per_minute * quarter_notes_per_beat(state);
}

// Where the song stands, in pulses from its start.
double song_pulses(const transport_state& state, double bpm) {
  if (!state.has_bar_beat)
    return static_cast<double>(state.frame) / frames_per_second * bpm / 60.0 * pulses_per_quarter;
  const double ticks = state.ticks_per_beat > 0.0 ? state.tick / state.ticks_per_beat : 0.0;
  const double beats = (state.bar - 1) * state.beats_per_bar + (state.beat - 1) + ticks;
  return std::max(0.0, beats) * quarter_notes_per_beat(state) * pulses_per_quarter;
}
}  // namespace

size_t transport_clock::cycle(const transport_state& state, uint64_t rack_frame, uint32_t frames,
                              double rack_bpm, std::span<clock_message> out) {
  size_t count = 0;
  const auto send = [&](uint64_t frame, clock_message_kind kind, uint16_t position = 0) {
    if (count < out.size()) out[count++] = {frame, kind, position};
  };
  if (!state.rolling) {
    if (rolling_) send(rack_frame, clock_message_kind::stop);
    rolling_ = false;
    return count;
  }
  const double bpm = std::max(quarter_bpm(state, rack_bpm), 1.0);
  const double frames_per_pulse = frames_per_second * 60.0 / (bpm * pulses_per_quarter);
  const double at = song_pulses(state, bpm);
  const auto step_from = [&](double pulses) {
    const double step = std::ceil(pulses / clock_pulses_per_step - 1e-9);
    return static_cast<int64_t>(std::clamp(step, 0.0, 16383.0));
  };
  if (!rolling_) {
    if (at < 1e-9) {
      send(rack_frame, clock_message_kind::start);
      next_pulse_ = 0;
    } else {
      const int64_t step = step_from(at);
      send(rack_frame, clock_message_kind::song_position, static_cast<uint16_t>(step));
      send(rack_frame, clock_message_kind::resume);
      next_pulse_ = step * clock_pulses_per_step;
    }
  } else if (std::abs(at - expected_) > jump_pulses) {
    const int64_t step = step_from(at);
    send(rack_frame, clock_message_kind::song_position, static_cast<uint16_t>(step));
    next_pulse_ = step * clock_pulses_per_step;
  }
  rolling_ = true;
  const double end = at + frames / frames_per_pulse;
  for (; static_cast<double>(next_pulse_) < end; ++next_pulse_) {
    const double offset = std::max(0.0, (static_cast<double>(next_pulse_) - at) * frames_per_pulse);
    send(rack_frame + std::min<uint64_t>(static_cast<uint64_t>(std::lround(offset)), frames - 1),
         clock_message_kind::pulse);
  }
  expected_ = end;
  return count;
}
