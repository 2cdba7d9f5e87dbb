#include "tb808.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "state_handoff.h"
#include "step_events.h"
#include "voice_chain.h"

namespace {
constexpr int32_t tb808_step_count = 8;
constexpr double drum_voice_scale = 3001.0;  // drum_level 8 gives a peak of 24008
constexpr float step_start_phase = 0.5f;
constexpr float step_start_pitch = 1.0f;

// One character per step: the playing step shows "." or "-", the others "*" or " ".
char step_mark(bool sounds, bool playing) {
  if (playing) return sounds ? '.' : '-';
  return sounds ? '*' : ' ';
}
}  // namespace

// Every step of the pattern memory starts silent (the fields start at 0).
TB808::TB808() {
  std::strncpy(engine_name, "TB808", engine_name_size - 1);
  step_count = tb808_step_count;
}

void TB808::print_state() {
  std::printf("TB808-%1d %2d: ", static_cast<int>(instrument_number), static_cast<int>(step_count));
  const int32_t pattern = current_pattern;
  const int32_t playing = current_step;
  // A pattern never has more steps than the memory holds.
  const int32_t steps = std::min<int32_t>(step_count, pattern_memory_steps);
  for (int32_t i = 0; i < steps; ++i)
    std::putchar(step_mark(step_sounds(pattern, i), i == playing));
  std::printf("\r\n");
  INSTRUMENT::print_state();
  std::printf("\r\n");
  std::printf("FX1 [%4d] ", static_cast<int>(pitch_depth));
  std::printf("FX2 [%0.4f] ", static_cast<double>(pitch_decay));
  std::printf("FX3 [%3.0f] ", static_cast<double>(drum_level));
  std::printf("FX4 [%3.1f] ", static_cast<double>(phase_factor));
  std::printf("\r\n");
}

// The pitch falls from tempo + pitch_depth toward tempo radians per second.
void TB808::advance_voice() {
  const double speed =
      static_cast<double>(static_cast<float>(tempo)) +
      static_cast<double>(static_cast<float>(pitch_depth)) * static_cast<double>(pitch_factor);
  drum_phase = static_cast<float>(static_cast<double>(drum_phase) + speed / sample_rate);
  pitch_factor =
      static_cast<float>(static_cast<double>(pitch_factor) * static_cast<double>(pitch_decay));
}

// One frame of a sounding step with the power on, on the 16-bit scale before
// the limit and the volume. The voice is already on the 16-bit scale, so there
// is no scaling when the distortion is off.
float TB808::voice_frame() {
  float v = static_cast<float>(
      std::sin(static_cast<double>(drum_phase) * static_cast<double>(phase_factor)) *
      (step_decay(*this) * static_cast<double>(drum_level)) * drum_voice_scale);
  v = distortion_if_on(*this, v);
  run_lfos(*this);
  advance_voice();
  return filter(*this, v);
}

// Step boundary. The pass-end event reports the pattern that has just ended,
// before the chain moves it on; the step event reports the step that starts.
void TB808::end_step() {
  if (pass_has_ended(*this)) {
    post_pass_end_event(instrument_number, current_pattern);
    advance_chained_pattern(*this);
    current_step = 0;
  }
  begin_step();
}

void TB808::restart_sequencer(int32_t step) {
  post_pass_end_event(instrument_number, current_pattern);
  place_sequencer(*this, step);
  begin_step();
}

// Queued pattern, wrap, the step event, filter reload, and a sounding step
// starts the voice.
void TB808::begin_step() {
  take_queued_pattern(*this);
  wrap_current_pattern(*this);
  post_step_event(instrument_number, current_step);
  reload_filter(*this);
  if (step_sounds(current_pattern, current_step)) {
    drum_phase = step_start_phase;
    pitch_factor = step_start_pitch;
  }
}

bool TB808::render(void*, void* buffer, int length, void*) {
  run_staged_transfer(*this);
  if (silent_while_halted(*this, buffer, length)) return true;
  const int frames = buffer_frame_count(length);
  for (int frame = 0; frame < frames; ++frame) {
    // Silent steps and power off leave the voice, the LFOs and the filter still.
    const bool sounding = power_switch == 1 && step_sounds(current_pattern, current_step);
    const float v = sounding ? voice_frame() : 0.0f;
    write_frame(buffer, frame, output_limit_then_volume(*this, v));
    if (count_frame(*this)) end_step();
  }
  return true;
}
