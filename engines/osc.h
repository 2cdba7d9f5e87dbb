#pragma once
// OSC: three sine oscillators sharing one phase. Each oscillator divides the
// common phase by a factor and an offset of its own before taking the sine, so
// the three run at different speeds; the switched-on oscillators are averaged
// and the result goes through the envelope, the distortion and the resonant
// filter of the instrument (no noise stage). The pitch follows one row of step
// frequencies, 8 steps a pass, with a step event at every step and a pass-end
// event at the end of every pass; there is no pattern switching.
#include <cstdint>

#include "instrument.h"
#include "sequencer.h"

class OSC : virtual public INSTRUMENT {
 public:
  OSC();

  // Prints the steps as note numbers, the voice-chain summary, the oscillator
  // switches, factors and offsets.
  void print_state() override;
  // Fills length / 4 stereo frames; a remainder of fewer than 4 bytes is left
  // as it was. Never fails.
  bool render(void* stream, void* buffer, int length, void* user) override;
  void restart_sequencer(int32_t step) override;

  // Frequency in hertz of a step; 0 for a position outside the row.
  float step_frequency(int32_t step) const { return read_step_row(step_frequencies, step); }

  // Waveform numbers 1 to 3, cycled and shown by the panel; the sound is a
  // sine whatever they hold.
  shared_int osc1_wave{1};
  shared_int osc2_wave{2};
  shared_int osc3_wave{3};
  // Oscillator switches: any value other than 0 is on.
  shared_int osc1_on{1};
  shared_int osc2_on{1};
  shared_int osc3_on{0};
  // First and second divisor of the phase for each oscillator.
  shared_float osc1_factor{1.0f};
  shared_float osc2_factor{1.0f};
  shared_float osc3_factor{1.0f};
  shared_float osc1_offset{0.1f};
  shared_float osc2_offset{0.1f};
  shared_float osc3_offset{0.1f};
  // The frequency in hertz of each step: one row, not one per pattern.
  step_row_of<float> step_frequencies;
  shared_float phase{0.0f};  // common phase in cycles, between 0 and 1

 private:
  float mix();
  float voice_frame();
  void end_step();
  void begin_step();
};
