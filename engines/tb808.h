#pragma once
// TB808: the drum engine. One synthesized drum voice, a sine whose pitch falls
// from a high start toward a floor set by the tempo, restarted on every step of
// the playing pattern that is switched on. The voice decays linearly over the
// step by itself and goes through the distortion and the resonant filter of the
// instrument; there is no noise stage and no instrument envelope. Its `render`
// runs the step sequencer with 8 steps a pass and posts a step event at every
// step as well as a pass-end event at the end of every pass.
#include <cstdint>

#include "instrument.h"
#include "sequencer.h"

class TB808 : virtual public INSTRUMENT {
 public:
  TB808();

  // Prints the steps of the playing pattern, the voice-chain summary and FX1
  // to FX4.
  void print_state() override;
  // Fills length / 4 stereo frames; a remainder of fewer than 4 bytes is left
  // as it was. Never fails.
  bool render(void* stream, void* buffer, int length, void* user) override;
  void restart_sequencer(int32_t step) override;

  // True when the step sounds (it holds 1); a position outside the memory is
  // a silent step.
  bool step_sounds(int32_t pattern, int32_t step) const {
    return read_pattern_memory(pattern_memory, pattern, step) == 1;
  }

  // Drum voice parameters, edited on the panel.
  shared_int pitch_depth{1500};       // phase speed added at full pitch, radians per second
  shared_float pitch_decay{0.9992f};  // multiplies pitch_factor at every sounding frame
  shared_float drum_level{8.0f};      // loudness of the voice
  shared_float phase_factor{1.0f};    // multiplies the phase inside the sine
  // Running voice state, restarted at every sounding step.
  shared_float pitch_factor{1.0f};
  shared_float drum_phase{0.5f};  // radians
  // [pattern][step]: 1 makes the step sound, any other value leaves it silent.
  pattern_memory_of<int32_t> pattern_memory;

 private:
  void advance_voice();
  float voice_frame();
  void end_step();
  void begin_step();
};
