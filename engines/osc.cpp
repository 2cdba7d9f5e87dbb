#include "osc.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "notes.h"
#include "state_handoff.h"
#include "step_events.h"
#include "truncation.h"
#include "voice_chain.h"

namespace {
constexpr int32_t osc_step_count = 8;
constexpr int32_t default_steps = 8;
constexpr int32_t default_note_spacing = 10;
constexpr double oscillator_scale = 32676.0;

// One oscillator on the 16-bit scale. The argument is in radians. A factor or
// an offset of 0 makes the argument infinite or not a number, whose sine is not
// a number: the truncation turns that into 0, so such an oscillator is silent.
double oscillator(float phase, float factor, float offset) {
  const double argument =
      static_cast<double>(phase) / static_cast<double>(factor) / static_cast<double>(offset);
  return truncate_to_int16(std::sin(argument) * oscillator_scale);
}

const char* on_mark(int32_t on) {
  return on != 0 ? "*" : " ";
}
}  // namespace

// Steps 0 to 7 climb by ten notes (8.18 Hz to 523.25 Hz); the others start at 0.
OSC::OSC() {
  std::strncpy(engine_name, "OSC", engine_name_size - 1);
  step_count = osc_step_count;
  for (int32_t i = 0; i < default_steps; ++i)
    step_frequencies[i] = note_to_frequency(default_note_spacing * i);
}

void OSC::print_state() {
  std::printf("OSC-%1d %2d: ", static_cast<int>(instrument_number), static_cast<int>(step_count));
  const int32_t playing = current_step;
  // The row never has more steps than it holds.
  const int32_t steps = std::min<int32_t>(step_count, pattern_memory_steps);
  for (int32_t i = 0; i < steps; ++i)
    std::printf(i == playing ? "[%2d]" : " %2d ", frequency_to_note(step_frequency(i)));
  std::printf("\r\n");
  INSTRUMENT::print_state();
  std::printf("\r\n");
  std::printf("OSC1 [%s] ", on_mark(osc1_on));
  std::printf("OSC2 [%s] ", on_mark(osc2_on));
  std::printf("OSC3 [%s] ", on_mark(osc3_on));
  std::printf("FOSC1 [%4.4f] ", static_cast<double>(osc1_factor));
  std::printf("FOSC2 [%4.4f] ", static_cast<double>(osc2_factor));
  std::printf("FOSC3 [%4.4f] ", static_cast<double>(osc3_factor));
  std::printf("OSC1_OFFS [%4.4f] ", static_cast<double>(osc1_offset));
  std::printf("OSC2_OFFS [%4.4f] ", static_cast<double>(osc2_offset));
  std::printf("OSC3_OFFS [%4.4f] ", static_cast<double>(osc3_offset));
  std::printf("\r\n");
}

// The average of the switched-on oscillators; with all three off there is
// nothing to average and the frame is silent.
float OSC::mix() {
  const float cycle = phase;
  double sum = 0.0;
  int count = 0;
  const auto add = [&](int32_t on, float factor, float offset) {
    if (on == 0) return;
    sum += oscillator(cycle, factor, offset);
    ++count;
  };
  add(osc1_on, osc1_factor, osc1_offset);
  add(osc2_on, osc2_factor, osc2_offset);
  add(osc3_on, osc3_factor, osc3_offset);
  return count == 0 ? 0.0f : static_cast<float>(sum / count);
}

// One frame of sound with the power on, before the limit and the volume. The
// envelope comes before the distortion here; the oscillators are already on
// the 16-bit scale, so there is no scaling when the distortion is off.
float OSC::voice_frame() {
  float v = mix();
  run_lfos(*this);
  v = envelope(*this, v);
  v = distortion_if_on(*this, v);
  return filter(*this, v);
}

// Step boundary. The pass-end event reports the pattern count before the chain
// moves it on; the pattern only counts chained passes, the sound never depends
// on it. The waveform restarts at every step.
void OSC::end_step() {
  if (pass_has_ended(*this)) {
    post_pass_end_event(instrument_number, current_pattern);
    advance_chained_pattern(*this);
    current_step = 0;
  }
  begin_step();
}

void OSC::restart_sequencer(int32_t step) {
  post_pass_end_event(instrument_number, current_pattern);
  place_sequencer(*this, step);
  begin_step();
}

// The step event, filter reload, and the waveform restarts.
void OSC::begin_step() {
  post_step_event(instrument_number, current_step);
  reload_filter(*this);
  phase = 0.0f;
}

bool OSC::render(void*, void* buffer, int length, void*) {
  run_staged_transfer(*this);
  if (silent_while_halted(*this, buffer, length)) return true;
  const int frames = buffer_frame_count(length);
  for (int frame = 0; frame < frames; ++frame) {
    // The phase runs with the power off too, so the instrument stays in time.
    phase = advance_phase(phase, step_frequency(current_step));

    const float v = power_switch == 1 ? voice_frame() : 0.0f;
    write_frame(buffer, frame, output_limit_then_volume(*this, v));
    if (count_frame(*this)) end_step();
  }
  return true;
}
