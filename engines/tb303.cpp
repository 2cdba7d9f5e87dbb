#include "tb303.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "notes.h"
#include "state_handoff.h"
#include "step_events.h"
#include "voice_chain.h"

namespace {
constexpr int32_t tb303_step_count = 16;
constexpr int32_t highest_wave_kind = 4;
constexpr float repaired_wave_divisor = 1e-7f;
constexpr int32_t random_note_range = 50;
}  // namespace

TB303::TB303() {
  std::strncpy(engine_name, "TB303", engine_name_size - 1);
  step_count = tb303_step_count;
  wave_kind = 1;
  wave_divisor = 1.0f;
  wave_offset = 1.0f;
  phase = 0.0f;
  // Unseeded rand(): every run starts with the same random notes.
  for (auto& pattern : pattern_memory)
    for (auto& step : pattern) step = note_to_frequency(std::rand() % random_note_range);
}

void TB303::print_state() {
  std::printf("TB303-%1d %2d: ", static_cast<int>(instrument_number), static_cast<int>(step_count));
  const int32_t pattern = current_pattern;
  const int32_t playing = current_step;
  // A pattern never has more steps than the memory holds.
  const int32_t steps = std::min<int32_t>(step_count, pattern_memory_steps);
  for (int32_t i = 0; i < steps; ++i)
    std::printf(i == playing ? "[%2d]" : " %2d ", frequency_to_note(step_frequency(pattern, i)));
  std::printf("\r\n");
  INSTRUMENT::print_state();
  std::printf("\r\n");
  std::printf("FX1 [%3.3f] ", static_cast<double>(wave_divisor));
  std::printf("FX2 [%3.3f] ", static_cast<double>(wave_offset));
  std::printf("\r\n");
}

// The raw waveform, between -1 and 1, after repairing degenerate settings.
float TB303::oscillator() {
  if (wave_divisor == 0.0f) wave_divisor = repaired_wave_divisor;
  if (wave_kind > highest_wave_kind) wave_kind = 1;
  const float cycle = phase;
  const auto sine = [&] {
    return std::sin(voice_chain::two_pi *
                    (static_cast<double>(wave_offset) + static_cast<double>(cycle)) /
                    static_cast<double>(wave_divisor));
  };
  switch (static_cast<int32_t>(wave_kind)) {
    case 1:
      return static_cast<float>(sine());
    case 2:
    case 4:
      return cycle;
    case 3: {
      const double s = sine();
      return s > 0.5 ? 1.0f : (s < -0.5 ? -1.0f : 0.0f);
    }
    default:
      return 0.0f;
  }
}

// One frame of sound with the power on, on the 16-bit scale before volume.
float TB303::voice_frame() {
  float v = oscillator();
  v = noise(*this, v);
  v = distortion_or_scaling(*this, v);
  run_lfos(*this);
  v = envelope(*this, v);
  return filter(*this, v);
}

// Step boundary: pass end with chaining, then the new step begins.
void TB303::end_step() {
  if (pass_has_ended(*this)) {
    advance_chained_pattern(*this);
    post_pass_end_event(instrument_number, current_pattern);
    current_step = 0;
  }
  begin_step();
}

// Queued pattern, wrap, filter reload, and the waveform restarts.
void TB303::begin_step() {
  take_queued_pattern(*this);
  wrap_current_pattern(*this);
  reload_filter(*this);
  phase = 0.0f;
}

void TB303::restart_sequencer(int32_t step) {
  post_pass_end_event(instrument_number, current_pattern);
  place_sequencer(*this, step);
  begin_step();
}

bool TB303::render(void*, void* buffer, int length, void*) {
  run_staged_transfer(*this);
  if (silent_while_halted(*this, buffer, length)) return true;
  const int frames = buffer_frame_count(length);
  for (int frame = 0; frame < frames; ++frame) {
    // The phase runs with the power off too, so the instrument stays in time.
    phase = advance_phase(phase, step_frequency(current_pattern, current_step));

    const float v = power_switch == 1 ? voice_frame() : 0.0f;
    write_frame(buffer, frame, output_volume_then_limit(*this, v));
    if (count_frame(*this)) end_step();
  }
  return true;
}
