#pragma once
// TB303: the bass-line engine. One oscillator whose pitch comes, step by step,
// from a memory of 255 patterns of 255 frequencies, sent through the voice
// chain (noise, distortion or scaling, the LFOs, the per-step envelope, the
// resonant filter, volume and limit). Its `render` also runs the step
// sequencer: 16 steps a pass, pattern chaining and queued pattern changes.
#include <cstdint>

#include "instrument.h"
#include "sequencer.h"

class TB303 : virtual public INSTRUMENT {
 public:
  TB303();

  // Prints the steps of the playing pattern as note numbers, the voice-chain
  // summary and FX1, FX2.
  void print_state() override;
  // Fills length / 4 stereo frames; a remainder of fewer than 4 bytes is left
  // as it was. Never fails.
  bool render(void* stream, void* buffer, int length, void* user) override;
  void restart_sequencer(int32_t step) override;

  // Frequency in hertz of a step; 0 for a position outside the memory.
  float step_frequency(int32_t pattern, int32_t step) const {
    return read_pattern_memory(pattern_memory, pattern, step);
  }

  // Oscillator waveform: 1 sine, 2 and 4 rising ramp, 3 three-level pulse;
  // above 4 is repaired to 1, 0 and below give no oscillator signal.
  shared_int wave_kind{1};
  shared_float wave_divisor{1.0f};  // divides the sine's argument; 0 is repaired to 1e-7
  shared_float wave_offset{1.0f};   // added to the phase, in cycles, before the sine
  // [pattern][step]: the frequency of every step in hertz.
  pattern_memory_of<float> pattern_memory;
  shared_float phase{0.0f};  // oscillator phase in cycles, between 0 and 1

 private:
  float oscillator();
  float voice_frame();
  void end_step();
  void begin_step();
};
